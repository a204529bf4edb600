#pragma once

#include <string>
#include <string_view>

namespace tern {

// The password value: the MD5 digest of the typed password's Windows-1252 bytes (a character that
// Windows-1252 cannot hold counts as "?"), as 32 lower-case hexadecimal digits. `typed` is UTF-8.
std::string PasswordDigest(std::string_view typed);

} // namespace tern
