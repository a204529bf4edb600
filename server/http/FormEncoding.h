#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tern::server {

// Decodes %XX escapes; with `plusIsSpace` (query strings and form bodies) '+' stands for a space. A '%'
// not followed by two hex digits is kept as it is.
std::string PercentDecode(std::string_view text, bool plusIsSpace);

// Adds the fields of "name=value&name=value" to `params`, both sides decoded. Fields without a name
// are skipped; a field repeated verbatim is added once.
void ParseFormFields(std::string_view text, std::multimap<std::string, std::string>& params);

} // namespace tern::server
