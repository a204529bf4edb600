#include "util/TextEncoding.h"

#include <array>

namespace tern {

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; unassigned bytes keep their C1 value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows1252CodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

int windows1252Byte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

char32_t DecodeUtf8(std::string_view text, size_t& pos, bool acceptSurrogates) noexcept
{
    constexpr char32_t kReplacement = 0xFFFD;
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<size_t>(length) > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || (surrogate && !acceptSurrogates)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<size_t>(length);
    return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsValidUtf8(std::string_view bytes) noexcept
{
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t before = pos;
        if (DecodeUtf8(bytes, pos) == 0xFFFD) {
            // A literal U+FFFD is valid; a malformed sequence advances exactly one byte.
            if (pos - before != 3)
                return false;
        }
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(result, windows1252CodePoint(static_cast<unsigned char>(c)));
    return result;
}

std::string Utf8ToWindows1252(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t before = pos;
        const char32_t codePoint = DecodeUtf8(text, pos);
        const bool malformed = codePoint == 0xFFFD && pos - before != 3;
        const int byte = malformed ? -1 : windows1252Byte(codePoint);
        result += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return result;
}

std::string DisplayTextFromBytes(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

std::string Utf16LeBytes(std::u16string_view units)
{
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::u16string Utf16FromUtf8(std::string_view utf8)
{
    std::u16string units;
    units.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t codePoint = DecodeUtf8(utf8, pos);
        if (codePoint >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(codePoint);
        }
    }
    return units;
}

std::string Utf8FromUtf16(std::u16string_view units)
{
    std::string text;
    text.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t codePoint = units[i];
        const bool high = codePoint >= 0xD800 && codePoint < 0xDC00;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint < 0xE000) {
            codePoint = 0xFFFD;
        }
        AppendUtf8(text, codePoint);
    }
    return text;
}

std::string Utf16LeTextBlock(std::string_view utf8)
{
    return Utf16LeBytes(Utf16FromUtf8(utf8) + u'\0');
}

} // namespace tern
