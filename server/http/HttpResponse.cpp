#include "http/HttpResponse.h"

namespace tern::server {

void HttpResponse::set_header(std::string_view name, std::string_view value)
{
    if (name.empty() || !IsSafeHeaderText(name) || !IsSafeHeaderText(value))
        return;
    headers.erase(std::string(name));
    headers.emplace(std::string(name), std::string(value));
}

std::string HttpResponse::get_header_value(const std::string& name) const
{
    const auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

void HttpResponse::set_content(std::string content, std::string_view contentType)
{
    body = std::move(content);
    set_header("Content-Type", contentType);
}

void HttpResponse::set_redirect(std::string_view location, int redirectStatus)
{
    status = (redirectStatus >= 300 && redirectStatus < 400) ? redirectStatus : 302;
    set_header("Location", location);
}

} // namespace tern::server
