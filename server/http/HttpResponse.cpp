#include "http/HttpResponse.h"

namespace tern::server {

void HttpResponse::set_header(std::string_view name, std::string_view value)
{
    if (name.empty() || !IsSafeHeaderText(name) || !IsSafeHeaderText(value))
        return;
    headers.erase(std::string(name));
    headers.emplace(std::string(name), std::string(value));
}

void HttpResponse::set_content(std::string content, std::string_view contentType)
{
    body = std::move(content);
    set_header("Content-Type", contentType);
}

} // namespace tern::server
