#pragma once

#include <string_view>

namespace tern::server {

// A password value: exactly 32 lower-case hexadecimal digits (the client's digest of the password).
bool IsPasswordValue(std::string_view text) noexcept;

// An e-mail address this service accepts for an account: at most 254 printable ASCII bytes without
// blanks, one "@" with 1 to 64 bytes before it, and a domain of dot-separated labels of letters,
// digits and hyphens with at least one dot.
bool IsAcceptableEmail(std::string_view text) noexcept;

} // namespace tern::server
