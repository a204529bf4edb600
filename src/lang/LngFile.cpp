#include "lang/LngFile.h"

#include "util/FileRoutines.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <cctype>
#include <climits>

namespace tern {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

} // namespace

LngFile LngFile::parse(std::string_view bytes)
{
    const std::string text = DisplayTextFromBytes(bytes);
    LngFile file;
    Section* current = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;

        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            // Only the first section of a name counts: the lines of a later one are skipped.
            const auto [section, added] =
                file.m_sections.try_emplace(lowerAscii(line.substr(1, line.size() - 2)));
            current = added ? &section->second : nullptr;
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || current == nullptr)
            continue;
        // The first line of a key wins.
        current->try_emplace(lowerAscii(TrimText(line.substr(0, equals))), TrimText(line.substr(equals + 1)));
    }
    return file;
}

LngFile LngFile::load(const std::string& path)
{
    const auto bytes = ReadFileBytes(path, kMaxFileBytes);
    return bytes ? parse(*bytes) : LngFile();
}

const std::string* LngFile::rawValue(std::string_view section, std::string_view key) const
{
    const auto found = m_sections.find(lowerAscii(section));
    if (found == m_sections.end())
        return nullptr;
    const auto line = found->second.find(lowerAscii(key));
    return line == found->second.end() ? nullptr : &line->second;
}

std::optional<std::string> LngFile::text(std::string_view section, std::string_view key) const
{
    const std::string* value = rawValue(section, key);
    if (!value)
        return std::nullopt;
    return UnquoteLngValue(*value);
}

std::string LngFile::profileString(std::string_view section, std::string_view key,
                                   const std::string& fallback) const
{
    const std::string* raw = rawValue(section, key);
    if (!raw)
        return fallback.substr(0, std::min(fallback.size(), kProfileValueLimit));
    std::string_view value = *raw;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, std::min(value.size(), kProfileValueLimit)));
}

int LngFile::profileInt(std::string_view section, std::string_view key, int fallback) const
{
    const std::string* raw = rawValue(section, key);
    if (!raw)
        return fallback;
    std::string_view value = *raw;
    bool negative = false;
    if (!value.empty() && value.front() == '-') {
        negative = true;
        value.remove_prefix(1);
    }
    int base = 10;
    if (value.size() >= 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        base = 16;
        value.remove_prefix(2);
    }
    long long number = 0;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        int digit = -1;
        if (std::isdigit(byte))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(byte))
            digit = std::tolower(byte) - 'a' + 10;
        if (digit < 0)
            break;
        number = number * base + digit;
        if (number > INT_MAX)
            return 0;
    }
    return static_cast<int>(negative ? -number : number);
}

std::string UnquoteLngValue(std::string_view value)
{
    if (value.empty() || value.front() != '"')
        return std::string(value);
    std::string result;
    size_t pos = 1;
    bool closed = false;
    while (pos < value.size()) {
        if (value[pos] == '"') {
            if (pos + 1 < value.size() && value[pos + 1] == '"') {
                result += '"';
                pos += 2;
                continue;
            }
            closed = true;
            break;
        }
        result += value[pos++];
    }
    if (!closed) {
        // Without a closing quote the value loses its last character.
        std::string inner(value.substr(1));
        if (!inner.empty())
            inner.pop_back();
        return inner;
    }
    if (result.empty())
        return std::string(value.substr(pos + 1));
    return result;
}

} // namespace tern
