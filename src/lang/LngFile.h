#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tern {

// A parsed language file: sections of key lines, as text (UTF-8). Lookups compare section names and
// keys ASCII case-insensitively; the first section of a name and the first key line in it win.
class LngFile
{
public:
    // Files larger than this are refused and read as empty.
    static constexpr size_t kMaxFileBytes = size_t{1024} * 1024;
    // The value buffer of a private-profile read holds this many characters.
    static constexpr size_t kProfileValueLimit = 2047;

    LngFile() = default;

    // Parses file bytes: kept as UTF-8 when they are valid UTF-8, read as Windows-1252 otherwise.
    static LngFile parse(std::string_view bytes);
    // Parses the file at `path`; a missing, unreadable or oversized file gives an empty LngFile.
    static LngFile load(const std::string& path);

    // The text of a key line with the quoting rule applied, or nothing when the section or key is
    // absent. A key line with an empty value gives an empty text.
    std::optional<std::string> text(std::string_view section, std::string_view key) const;

    // The value as a private-profile read gives it: trimmed, one pair of matching outer quotes
    // removed, at most kProfileValueLimit characters; `fallback` when absent.
    std::string profileString(std::string_view section, std::string_view key,
                              const std::string& fallback) const;
    // The value read as a private-profile integer: optional "-", then decimal digits or "0x" and
    // hexadecimal digits, up to the first other character; `fallback` when absent, 0 when unparsable.
    int profileInt(std::string_view section, std::string_view key, int fallback) const;

    bool empty() const noexcept { return m_sections.empty(); }

private:
    // Key (ASCII lower case) to its first line's trimmed raw value, quotes not yet resolved.
    using Section = std::unordered_map<std::string, std::string>;

    const std::string* rawValue(std::string_view section, std::string_view key) const;

    // Section name (ASCII lower case) to the first section of that name: parsing and lookups take
    // time in proportion to the text, however many sections and keys it has.
    std::unordered_map<std::string, Section> m_sections;
};

// Resolves the quoting of a trimmed key-line value: a value beginning with a double quote is taken
// up to the next lone quote ("" inside stands for one quote); see LngFile::text.
std::string UnquoteLngValue(std::string_view value);

} // namespace tern
