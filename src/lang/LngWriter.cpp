#include "lang/LngWriter.h"

#include "lang/LngFile.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

namespace tern {

namespace {

constexpr size_t kNone = std::string::npos;

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// A header line as LngFile sees it: "[" first and "]" last, no trimming.
bool isHeader(std::string_view line)
{
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string validUtf8(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text);
}

bool needsQuotes(std::string_view value)
{
    if (value.empty())
        return false;
    if (isBlankOrControl(value.front()) || isBlankOrControl(value.back()) || value.front() == '"')
        return true;
    // Single quotes at both ends would be taken off by a private-profile read of the value.
    return value.size() >= 2 && value.front() == '\'' && value.back() == '\'';
}

} // namespace

std::string EncodeLngValue(std::string_view text)
{
    std::string value;
    value.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            value += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        value += c;
    }
    if (!needsQuotes(value))
        return value;
    return '"' + ReplaceAll(value, "\"", "\"\"") + '"';
}

LngWriter LngWriter::parse(std::string_view bytes)
{
    LngWriter writer;
    std::string text;
    if (IsValidUtf8(bytes)) {
        text.assign(bytes);
    } else {
        writer.m_encoding = Encoding::Windows1252;
        text = Windows1252ToUtf8(bytes);
    }
    const size_t firstBreak = text.find('\n');
    if (firstBreak != kNone)
        writer.m_lineEnd = (firstBreak > 0 && text[firstBreak - 1] == '\r') ? "\r\n" : "\n";

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool hasBreak = end != kNone;
        if (!hasBreak)
            end = text.size();
        Line line{text.substr(start, end - start), hasBreak ? "\n" : ""};
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.end.insert(0, "\r");
        }
        writer.m_lines.push_back(std::move(line));
        start = end + 1;
    }
    return writer;
}

LngWriter LngWriter::load(const std::string& path)
{
    const auto bytes = ReadFileBytes(path, LngFile::kMaxFileBytes);
    if (bytes)
        return parse(*bytes);
    if (FileExists(path))
        throw FileError("Cannot read file " + path);
    return LngWriter();
}

LngWriter::SectionRange LngWriter::findSection(std::string_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const std::string& line = m_lines[i].text;
        if (!isHeader(line) || !SameTextAscii(std::string_view(line).substr(1, line.size() - 2), section))
            continue;
        size_t end = i + 1;
        while (end < m_lines.size() && !isHeader(m_lines[end].text))
            ++end;
        return SectionRange{i + 1, end};
    }
    return SectionRange{kNone, kNone};
}

void LngWriter::insertLine(size_t index, std::string text)
{
    if (index > 0) {
        std::string& before = m_lines[index - 1].end;
        if (before.empty() || before.back() != '\n')
            before = m_lineEnd;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), Line{std::move(text), m_lineEnd});
}

void LngWriter::setText(std::string_view section, std::string_view key, std::string_view text)
{
    const std::string sectionName = validUtf8(section);
    const std::string keyName = validUtf8(key);
    const bool badSection = sectionName.empty() || sectionName.find_first_of("\r\n") != kNone;
    const bool badKey = keyName.empty() || TrimText(keyName) != keyName || keyName.front() == '[' ||
                        keyName.find_first_of("=\r\n") != kNone;
    if (badSection || badKey)
        throw Error("A language text cannot be stored under [" + sectionName + "] " + keyName);

    const std::string value = EncodeLngValue(validUtf8(text));
    const SectionRange range = findSection(sectionName);
    if (range.begin == kNone) {
        if (!m_lines.empty() && !TrimText(m_lines.back().text).empty())
            insertLine(m_lines.size(), std::string());
        insertLine(m_lines.size(), '[' + sectionName + ']');
        insertLine(m_lines.size(), keyName + '=' + value);
        return;
    }

    size_t lastKeyLine = kNone;
    for (size_t i = range.begin; i < range.end; ++i) {
        std::string& line = m_lines[i].text;
        const size_t equals = line.find('=');
        if (equals == kNone)
            continue;
        lastKeyLine = i;
        if (!SameTextAscii(TrimText(std::string_view(line).substr(0, equals)), keyName))
            continue;
        // The key and its spacing stay as they were; only the value changes.
        size_t valueStart = equals + 1;
        while (valueStart < line.size() && isBlankOrControl(line[valueStart]))
            ++valueStart;
        line.resize(value.empty() ? equals + 1 : valueStart);
        line += value;
        return;
    }
    insertLine(lastKeyLine == kNone ? range.begin : lastKeyLine + 1, keyName + '=' + value);
}

std::string LngWriter::bytes() const
{
    std::string text;
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.end;
    }
    if (m_encoding == Encoding::Windows1252) {
        std::string encoded = Utf8ToWindows1252(text);
        if (DisplayTextFromBytes(encoded) == text)
            return encoded;
    }
    return text;
}

void WriteLngText(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view text)
{
    const std::string failure = "Unable to write to " + path;
    try {
        LngWriter writer = LngWriter::load(path);
        writer.setText(section, key, text);
        const std::string bytes = writer.bytes();
        // A larger file would be read back as empty.
        if (bytes.size() > LngFile::kMaxFileBytes)
            throw Error(failure);
        WriteFileAtomically(path, bytes, false);
    } catch (const FileError&) {
        throw Error(failure);
    }
}

} // namespace tern
