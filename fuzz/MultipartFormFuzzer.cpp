#include "http/FormEncoding.h"
#include "http/MultipartForm.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace {

bool within(std::string_view inner, std::string_view outer)
{
    return inner.empty() ||
           (inner.data() >= outer.data() && inner.data() + inner.size() <= outer.data() + outer.size());
}

} // namespace

// Input: a Content-Type value, a line feed, then the body of an upload (or of a form). Every part
// found must lie inside the body, and no more parts than the limit may come back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string_view contentType = input.substr(0, lineEnd);
    // A view of libFuzzer's own buffer, sized exactly, so that a read one byte past the body is caught.
    const std::string_view body =
        lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);

    const auto boundary = tern::server::MultipartBoundary(contentType);
    if (boundary && !within(*boundary, contentType))
        __builtin_trap();
    if (const auto parts = tern::server::ParseMultipartForm(body, boundary.value_or("B"))) {
        if (parts->size() > tern::server::kMaxFormParts)
            __builtin_trap();
        for (const auto& part : *parts) {
            if (!within(part.name, body) || !within(part.fileName, body) || !within(part.content, body))
                __builtin_trap();
        }
    }

    std::multimap<std::string, std::string> params;
    tern::server::ParseFormFields(body, params);
    for (const auto& [name, value] : params) {
        if (name.empty() || name.size() > body.size() || value.size() > body.size())
            __builtin_trap();
    }
    return 0;
}
