#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tern {

// Removes leading and trailing blanks and control characters (every byte up to 0x20).
std::string TrimText(std::string_view text);

// ASCII case-insensitive equality and ordering: bytes outside A-Z/a-z compare as they are.
bool SameTextAscii(std::string_view a, std::string_view b) noexcept;
int CompareTextAscii(std::string_view a, std::string_view b) noexcept;
// `text` with A-Z turned into a-z; every other byte as it is.
std::string LowerTextAscii(std::string_view text);

// Appends the platform's path delimiter unless the path is empty or already ends in "/", ":" or a
// backslash; an appended-to path is first trimmed of outer blanks and control characters.
std::string IncludeTrailingSlash(std::string_view path);

// The file name without its extension (from the last "." after the last path delimiter or drive
// colon), trimmed of outer blanks and control characters.
std::string FileNameWithoutExt(std::string_view name);

// Field `index` (from 0) of `text` split at `delimiter`; a field that does not exist comes back as
// the one-character text `delimiter`.
std::string DelimitedField(int index, std::string_view text, char delimiter);

// Escapes every byte 0x00..0x20, "/" and backslash as "%XX" (upper-case hex); copies all others.
std::string EscapeLinkValue(std::string_view text);

// `number` in decimal with its thousands separated by commas: 5,000,000.
std::string GroupedDigits(std::size_t number);

// Replaces every occurrence of `from` in `text` by `to`, literally.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Replaces every "%s" in a language text by `argument`, literally: the text is never a format pattern.
std::string SubstituteArgument(std::string_view text, std::string_view argument);

} // namespace tern
