#include "http/MultipartForm.h"

#include <string>

namespace tern::server {
namespace {

constexpr std::size_t kMaxBoundaryLength = 70;

char lower(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view trim(std::string_view text) noexcept
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Splits "type; a=1; b="x;y"" at the semicolons outside quotes, calling `onParameter(name, value)`
// for each parameter after the first item (the value without its quotes). Returns the first item.
template <typename OnParameter>
std::string_view splitParameters(std::string_view text, OnParameter onParameter)
{
    std::string_view first;
    bool isFirst = true;
    while (true) {
        std::size_t end = 0;
        bool quoted = false;
        while (end < text.size() && (quoted || text[end] != ';')) {
            if (text[end] == '"')
                quoted = !quoted;
            ++end;
        }
        const std::string_view item = trim(text.substr(0, end));
        if (isFirst) {
            first = item;
            isFirst = false;
        } else {
            const std::size_t eq = item.find('=');
            if (eq != std::string_view::npos) {
                std::string_view value = trim(item.substr(eq + 1));
                if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                    value = value.substr(1, value.size() - 2);
                onParameter(trim(item.substr(0, eq)), value);
            }
        }
        if (end >= text.size())
            break;
        text.remove_prefix(end + 1);
    }
    return first;
}

// Reads the header block of one part (ended by an empty line) into `part`; false when it is too long,
// unterminated or names no form-data field.
bool readPartHeaders(std::string_view block, FormPart& part)
{
    bool named = false;
    while (!block.empty()) {
        const std::size_t end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 2);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return false;
        if (!equalsIgnoringCase(trim(line.substr(0, colon)), "content-disposition"))
            continue;
        const std::string_view kind = splitParameters(line.substr(colon + 1), [&](auto name, auto value) {
            if (equalsIgnoringCase(name, "name")) {
                part.name = value;
                named = true;
            } else if (equalsIgnoringCase(name, "filename")) {
                part.fileName = value;
            }
        });
        if (!equalsIgnoringCase(kind, "form-data"))
            return false;
    }
    return named;
}

} // namespace

std::optional<std::string_view> MultipartBoundary(std::string_view contentType)
{
    std::optional<std::string_view> boundary;
    const std::string_view type = splitParameters(contentType, [&](auto name, auto value) {
        if (equalsIgnoringCase(name, "boundary"))
            boundary = value;
    });
    if (!equalsIgnoringCase(type, "multipart/form-data") || !boundary || boundary->empty() ||
        boundary->size() > kMaxBoundaryLength)
        return std::nullopt;
    return boundary;
}

std::optional<std::vector<FormPart>> ParseMultipartForm(std::string_view body, std::string_view boundary)
{
    if (boundary.empty() || boundary.size() > kMaxBoundaryLength)
        return std::nullopt;
    const std::string opening = "--" + std::string(boundary);
    const std::string delimiter = "\r\n" + opening;

    // The first delimiter opens the body or follows a preamble line.
    std::size_t position = 0;
    if (body.substr(0, opening.size()) != opening) {
        position = body.find(delimiter);
        if (position == std::string_view::npos)
            return std::nullopt;
        position += 2;
    }
    position += opening.size();

    std::vector<FormPart> parts;
    while (true) {
        // After a delimiter: "--" closes the body, otherwise optional blanks and CR LF open a part.
        if (body.substr(position, 2) == "--")
            return parts;
        while (position < body.size() && (body[position] == ' ' || body[position] == '\t'))
            ++position;
        if (body.substr(position, 2) != "\r\n")
            return std::nullopt;
        position += 2;
        if (parts.size() == kMaxFormParts)
            return std::nullopt;

        // A part without any header names nothing; the search for the header end is bounded.
        if (body.substr(position, 2) == "\r\n")
            return std::nullopt;
        const std::size_t headerLength = body.substr(position, kMaxPartHeaderBytes + 4).find("\r\n\r\n");
        if (headerLength == std::string_view::npos)
            return std::nullopt;
        const std::size_t headerEnd = position + headerLength;
        FormPart part;
        if (!readPartHeaders(body.substr(position, headerLength), part))
            return std::nullopt;
        const std::size_t contentStart = headerEnd + 4;
        const std::size_t contentEnd = body.find(delimiter, contentStart);
        if (contentEnd == std::string_view::npos)
            return std::nullopt;
        part.content = body.substr(contentStart, contentEnd - contentStart);
        parts.push_back(part);
        position = contentEnd + delimiter.size();
    }
}

} // namespace tern::server
