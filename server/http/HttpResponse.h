#pragma once

#include "http/HttpHeaders.h"

#include <string>
#include <string_view>

namespace tern::server {

// The answer a handler builds. The transport adds Content-Length and Connection itself.
struct HttpResponse
{
    int status = 200;
    HttpHeaders headers;
    std::string body;

    // Sets the header `name` to `value`, replacing an earlier value; ignored when either carries CR,
    // LF or NUL, so that no reflected value can add a header or split the reply.
    void set_header(std::string_view name, std::string_view value);
    bool has_header(const std::string& name) const { return headers.find(name) != headers.end(); }
    void set_content(std::string content, std::string_view contentType);
};

} // namespace tern::server
