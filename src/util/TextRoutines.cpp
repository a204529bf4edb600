#include "util/TextRoutines.h"

#include <algorithm>
#include <filesystem>

namespace tern {

namespace {

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string TrimText(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool SameTextAscii(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string LowerTextAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = lowerAscii(c);
    return result;
}

int CompareTextAscii(std::string_view a, std::string_view b) noexcept
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string IncludeTrailingSlash(std::string_view path)
{
    if (path.empty())
        return {};
    const char last = path.back();
    if (last == '/' || last == ':' || last == '\\')
        return std::string(path);
    // The folder delimiter of the system the program runs on.
    return TrimText(path) + static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string FileNameWithoutExt(std::string_view name)
{
    const size_t point = name.rfind('.');
    const size_t delimiter = name.find_last_of("/\\:");
    if (point != std::string_view::npos && (delimiter == std::string_view::npos || point > delimiter))
        name = name.substr(0, point);
    return TrimText(name);
}

std::string DelimitedField(int index, std::string_view text, char delimiter)
{
    if (index < 0)
        return std::string(1, delimiter);
    size_t start = 0;
    for (int field = 0; field < index; ++field) {
        const size_t next = text.find(delimiter, start);
        if (next == std::string_view::npos)
            return std::string(1, delimiter);
        start = next + 1;
    }
    const size_t end = text.find(delimiter, start);
    return std::string(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string EscapeLinkValue(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || c == '/' || c == '\\') {
            result += '%';
            result += kHex[byte >> 4];
            result += kHex[byte & 0x0F];
        } else {
            result += c;
        }
    }
    return result;
}

std::string GroupedDigits(std::size_t number)
{
    // Built front to back: inserting into the middle of the string trips a false overlap warning of
    // GCC 12 in optimised builds.
    const std::string plain = std::to_string(number);
    std::string digits;
    for (std::size_t at = 0; at < plain.size(); ++at) {
        if (at > 0 && (plain.size() - at) % 3 == 0)
            digits += ',';
        digits += plain[at];
    }
    return digits;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string result;
    size_t start = 0;
    for (size_t found = text.find(from); found != std::string_view::npos; found = text.find(from, start)) {
        result.append(text.substr(start, found - start));
        result.append(to);
        start = found + from.size();
    }
    result.append(text.substr(start));
    return result;
}

std::string SubstituteArgument(std::string_view text, std::string_view argument)
{
    return ReplaceAll(text, "%s", argument);
}

} // namespace tern
