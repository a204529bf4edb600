#pragma once

#include <string>
#include <string_view>

namespace tern::platform::win {

// UTF-8 text as the UTF-16 text of the wide Windows functions, and back (see util/TextEncoding.h for
// what happens to malformed input).
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

} // namespace tern::platform::win
