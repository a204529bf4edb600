#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace tern::server {

// One part of a multipart/form-data body; the views point into the body that was parsed.
struct FormPart
{
    std::string_view name;
    std::string_view fileName;
    std::string_view content;
};

// At most this many parts are read from one body; a body with more is refused whole.
constexpr std::size_t kMaxFormParts = 32;
// The longest header block of one part.
constexpr std::size_t kMaxPartHeaderBytes = 8192;

// The boundary named by a Content-Type of "multipart/form-data; boundary=..." (quoted or not), or
// nullopt for another type or a boundary that is empty or longer than 70 characters.
std::optional<std::string_view> MultipartBoundary(std::string_view contentType);

// The parts of `body` framed by `boundary`, in order; nullopt when the framing is broken (no closing
// delimiter, a part without Content-Disposition form-data and a name, too many parts or too long a
// part header). Never reads outside `body`; the time taken grows linearly with its length.
std::optional<std::vector<FormPart>> ParseMultipartForm(std::string_view body, std::string_view boundary);

} // namespace tern::server
