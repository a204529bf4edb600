#include "clipboard/HtmlClipboardFormat.h"

#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <limits>
#include <vector>

namespace tern {

namespace {

constexpr std::string_view kStartMark = "<!--StartFragment-->";
constexpr std::string_view kEndMark = "<!--EndFragment-->";
// A header has a handful of lines; anything longer is not a header.
constexpr std::size_t kMaxHeaderLines = 16;
constexpr std::size_t kMaxNameBytes = 32;
constexpr std::size_t kMaxNumberDigits = 18;

struct HeaderValues
{
    std::optional<long long> startHtml;
    std::optional<long long> endHtml;
    std::optional<long long> startFragment;
    std::optional<long long> endFragment;
};

// A header number: optional minus sign and decimal digits, optional blanks around; nothing otherwise.
std::optional<long long> parseNumber(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > kMaxNumberDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long long value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return negative ? -value : value;
}

// Reads the header lines at the start of `data` up to the first line that is not "Name:value".
HeaderValues readHeader(std::string_view data)
{
    HeaderValues values;
    std::size_t position = 0;
    // The header ends where the document or the fragment begins, whatever follows looks like.
    const auto headerEnd = [&values]() {
        long long end = std::numeric_limits<long long>::max();
        for (const auto& offset : {values.startHtml, values.startFragment}) {
            if (offset && *offset >= 0)
                end = std::min(end, *offset);
        }
        return end;
    };
    for (std::size_t line = 0;
         line < kMaxHeaderLines && position < data.size() && static_cast<long long>(position) < headerEnd();
         ++line) {
        const std::size_t end = data.find_first_of("\r\n", position);
        const std::string_view text =
            data.substr(position, end == std::string_view::npos ? std::string_view::npos : end - position);
        const std::size_t colon = text.find(':');
        if (colon == 0 || colon == std::string_view::npos || colon > kMaxNameBytes ||
            !std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon),
                         [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }))
            break;
        const std::string_view name = text.substr(0, colon);
        const std::string_view value = text.substr(colon + 1);
        if (SameTextAscii(name, "StartHTML"))
            values.startHtml = parseNumber(value);
        else if (SameTextAscii(name, "EndHTML"))
            values.endHtml = parseNumber(value);
        else if (SameTextAscii(name, "StartFragment"))
            values.startFragment = parseNumber(value);
        else if (SameTextAscii(name, "EndFragment"))
            values.endFragment = parseNumber(value);
        if (end == std::string_view::npos)
            break;
        position = end + 1;
        if (data[end] == '\r' && position < data.size() && data[position] == '\n')
            ++position;
    }
    return values;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view what, std::size_t from = 0)
{
    if (what.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        if (SameTextAscii(text.substr(i, what.size()), what))
            return i;
    }
    return std::string_view::npos;
}

std::size_t rfindIgnoringCase(std::string_view text, std::string_view what)
{
    for (std::size_t i = text.size() >= what.size() ? text.size() - what.size() + 1 : 0; i-- > 0;) {
        if (SameTextAscii(text.substr(i, what.size()), what))
            return i;
    }
    return std::string_view::npos;
}

// The HTML of a document that begins with a UTF-16 byte order mark, as UTF-8; nothing for another.
std::optional<std::string> utf8OfUtf16Html(std::string_view html)
{
    const bool littleEndian = html.size() >= 2 && html[0] == '\xFF' && html[1] == '\xFE';
    const bool bigEndian = html.size() >= 2 && html[0] == '\xFE' && html[1] == '\xFF';
    if (!littleEndian && !bigEndian)
        return std::nullopt;
    std::u16string units;
    for (std::size_t i = 2; i + 1 < html.size(); i += 2) {
        const auto first = static_cast<unsigned char>(html[i]);
        const auto second = static_cast<unsigned char>(html[i + 1]);
        units += static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
    }
    return Utf8FromUtf16(units);
}

std::string offsetLine(const char* name, std::size_t value)
{
    std::array<char, 40> line{};
    std::snprintf(line.data(), line.size(), "%s:%010zu\r\n", name, value);
    return line.data();
}

} // namespace

std::optional<HtmlFormatOffsets> ParseHtmlFormat(std::string_view data)
{
    const HeaderValues values = readHeader(data);
    if (!values.startFragment || !values.endFragment)
        return std::nullopt;
    const auto size = static_cast<long long>(data.size());
    const long long startFragment = *values.startFragment;
    const long long endFragment = *values.endFragment;
    if (startFragment < 0 || startFragment > endFragment || endFragment > size)
        return std::nullopt;
    HtmlFormatOffsets offsets;
    offsets.startFragment = static_cast<std::size_t>(startFragment);
    offsets.endFragment = static_cast<std::size_t>(endFragment);
    offsets.startHtml = offsets.startFragment;
    offsets.endHtml = offsets.endFragment;
    const bool haveHtml =
        values.startHtml && values.endHtml && *values.startHtml >= 0 && *values.endHtml >= 0;
    if (haveHtml) {
        if (*values.startHtml > startFragment || *values.endHtml < endFragment || *values.endHtml > size)
            return std::nullopt;
        offsets.startHtml = static_cast<std::size_t>(*values.startHtml);
        offsets.endHtml = static_cast<std::size_t>(*values.endHtml);
    }
    return offsets;
}

std::optional<std::string> HtmlFromHtmlFormat(std::string_view data)
{
    const std::optional<HtmlFormatOffsets> offsets = ParseHtmlFormat(data);
    if (!offsets)
        return std::nullopt;
    return std::string(data.substr(offsets->startHtml, offsets->endHtml - offsets->startHtml));
}

std::string BuildHtmlFormat(std::string_view html)
{
    // A UTF-8 document is read where it lies: the result is the only copy made of it.
    const std::optional<std::string> converted = utf8OfUtf16Html(html);
    std::string_view document = converted ? std::string_view(*converted) : html;
    while (!document.empty() && document.back() == '\0')
        document.remove_suffix(1);
    // The document as pieces, with the fragment marks where they go.
    std::vector<std::string_view> pieces;
    std::size_t startFragment = document.find(kStartMark);
    std::size_t endFragment =
        startFragment == std::string::npos ? std::string::npos : document.find(kEndMark, startFragment);
    if (endFragment != std::string::npos) {
        startFragment += kStartMark.size();
        pieces = {document};
    } else {
        const std::size_t bodyTag = findIgnoringCase(document, "<body");
        const std::size_t bodyOpened =
            bodyTag == std::string::npos ? std::string::npos : document.find('>', bodyTag);
        const std::size_t bodyClosed = rfindIgnoringCase(document, "</body");
        if (bodyOpened != std::string::npos && bodyClosed != std::string::npos && bodyOpened < bodyClosed) {
            pieces = {document.substr(0, bodyOpened + 1), kStartMark,
                      document.substr(bodyOpened + 1, bodyClosed - bodyOpened - 1), kEndMark,
                      document.substr(bodyClosed)};
            startFragment = bodyOpened + 1 + kStartMark.size();
            endFragment = bodyClosed + kStartMark.size();
        } else {
            constexpr std::string_view kBefore = "<html><body>\r\n";
            pieces = {kBefore, kStartMark, document, kEndMark, "\r\n</body>\r\n</html>"};
            startFragment = kBefore.size() + kStartMark.size();
            endFragment = startFragment + document.size();
        }
    }
    std::size_t documentSize = 0;
    for (const std::string_view piece : pieces)
        documentSize += piece.size();
    // Every offset is written with ten digits, so the header's length does not depend on them.
    const std::string version = "Version:0.9\r\n";
    const std::size_t headerSize = version.size() + offsetLine("StartHTML", 0).size() +
                                   offsetLine("EndHTML", 0).size() + offsetLine("StartFragment", 0).size() +
                                   offsetLine("EndFragment", 0).size();
    std::string out;
    out.reserve(headerSize + documentSize + 1);
    out += version;
    out += offsetLine("StartHTML", headerSize);
    out += offsetLine("EndHTML", headerSize + documentSize);
    out += offsetLine("StartFragment", headerSize + startFragment);
    out += offsetLine("EndFragment", headerSize + endFragment);
    for (const std::string_view piece : pieces)
        out += piece;
    out += '\0';
    return out;
}

} // namespace tern
