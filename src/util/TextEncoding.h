#pragma once

#include <string>
#include <string_view>

namespace tern {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view bytes) noexcept;

// Converts Windows-1252 bytes to UTF-8. The five unassigned bytes map to the C1 controls of the
// same value, so every byte sequence converts.
std::string Windows1252ToUtf8(std::string_view bytes);

// Converts UTF-8 text to Windows-1252 bytes; a character that Windows-1252 cannot hold, or a
// malformed sequence, becomes "?".
std::string Utf8ToWindows1252(std::string_view text);

// Bytes of a file written in a single-byte code page or in UTF-8, as UTF-8 text: kept as they are
// when they are valid UTF-8, read as Windows-1252 otherwise.
std::string DisplayTextFromBytes(std::string_view bytes);

// Decodes one UTF-8 sequence at `pos`, advancing it; returns U+FFFD (and advances one byte) for a
// malformed sequence. With `acceptSurrogates`, an encoded surrogate half (as a writer that encodes
// each UTF-16 code unit on its own produces) comes back as that code unit instead of U+FFFD.
char32_t DecodeUtf8(std::string_view text, size_t& pos, bool acceptSurrogates = false) noexcept;

// Appends the UTF-8 form of `codePoint`.
void AppendUtf8(std::string& out, char32_t codePoint);

// The UTF-16LE bytes of the code units, two a unit, as they are (a lone surrogate stays).
std::string Utf16LeBytes(std::u16string_view units);

// UTF-8 text as UTF-16 code units; a malformed sequence becomes U+FFFD, a character beyond U+FFFF a
// surrogate pair.
std::u16string Utf16FromUtf8(std::string_view utf8);

// UTF-16 code units as UTF-8 text; a surrogate pair becomes its character, a lone surrogate U+FFFD.
std::string Utf8FromUtf16(std::u16string_view units);

// The Unicode text block of the clipboard: UTF-8 text as UTF-16LE code units followed by a zero
// unit. A malformed sequence becomes U+FFFD; a character beyond U+FFFF becomes a surrogate pair.
std::string Utf16LeTextBlock(std::string_view utf8);

} // namespace tern
