#pragma once

#include <string>

namespace tern::platform::x11 {

// The values of key files (the INI settings file, desktop entries) sit on one line each: a backslash
// is written "\\", a line feed "\n" and a carriage return "\r".
std::string EscapeKeyFileValue(const std::string& value);

// The value of an escaped line as it was written; a backslash before any other character stands for
// that character, and a lone backslash at the end is kept.
std::string UnescapeKeyFileValue(const std::string& value);

} // namespace tern::platform::x11
