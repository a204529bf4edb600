#include "http/HttpRequest.h"

namespace tern::server {

std::string HttpRequest::get_header_value(const std::string& name) const
{
    const auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

std::string HttpRequest::get_param_value(const std::string& name) const
{
    const auto found = params.find(name);
    return found == params.end() ? std::string() : found->second;
}

} // namespace tern::server
