#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tern {

// The value of a key line that LngFile::text reads back as `text`: every line break (CR LF, CR or LF)
// becomes the two characters backslash and n, and a value with outer blanks or control characters,
// a leading double quote, or single quotes at both ends is enclosed in double quotes with every
// inner double quote doubled. Other texts are written as they are.
std::string EncodeLngValue(std::string_view text);

// A language file held as its lines, for writing texts with the rules LngFile reads them by: the
// first section of a name is the one written to, and in it the first key line of the key. Lines that
// are not written keep their bytes, the file keeps its line ends, and it is written back in the
// encoding it was read in.
class LngWriter
{
public:
    enum class Encoding { Utf8, Windows1252 };

    // An empty file: UTF-8, CR LF line ends.
    LngWriter() = default;

    // Takes file bytes: UTF-8 when they are valid UTF-8, Windows-1252 otherwise (as LngFile reads
    // them). The first line end of the file decides the line end of added lines.
    static LngWriter parse(std::string_view bytes);
    // Reads the file at `path`; a missing file gives an empty writer. Throws FileError when the file
    // exists but cannot be read whole.
    static LngWriter load(const std::string& path);

    // Makes `text` the value of `key` in `section`: the key line is replaced in place when the section
    // has it, else added after the section's last key line (or its header), else the section is
    // appended to the file with the key line. Throws Error for a section or key that a key line
    // cannot hold (empty, a line break, outer blanks, "=" in the key, "]" in the section).
    void setText(std::string_view section, std::string_view key, std::string_view text);

    // The whole file: in the encoding it was read in, or in UTF-8 when the text now holds a character
    // that the read encoding cannot hold or would be read back differently.
    std::string bytes() const;

    Encoding encoding() const noexcept { return m_encoding; }

private:
    struct Line
    {
        std::string text; // UTF-8, without the line end
        std::string end;  // "\r\n", "\n", or "" for a last line without one
    };

    // Index of the line after the header of the first section named `section`, with the index of
    // the line that ends that section; npos when there is no such section.
    struct SectionRange
    {
        size_t begin;
        size_t end;
    };
    SectionRange findSection(std::string_view section) const;
    void insertLine(size_t index, std::string text);

    std::vector<Line> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    std::string m_lineEnd = "\r\n";
};

// Writes `text` as `key` of `section` into the language file at `path` (created when missing), whole
// and atomically. Throws Error("Unable to write to <path>") when the file cannot be read or written.
void WriteLngText(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view text);

} // namespace tern
