#pragma once

#include <string>
#include <string_view>

namespace tern::tool {

// `text` as it may go to a terminal: UTF-8 with every control character removed (C0 but line feeds
// and tabs, DEL, C1), so that a text from the service or from a file cannot move the cursor, clear
// the screen or start an escape sequence. A byte that is not UTF-8 becomes U+FFFD.
std::string PrintableText(std::string_view text);

} // namespace tern::tool
