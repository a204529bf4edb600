#pragma once

#include "http/HttpHeaders.h"

#include <map>
#include <string>
#include <vector>

namespace tern::server {

// One complete request as the handlers see it: the body has been read in full and within its limit.
// The member names are the ones the handlers were written against.
struct HttpRequest
{
    std::string method;
    std::string path;    // the percent-decoded path without the query
    bool http10 = false; // an HTTP/1.0 request
    HttpHeaders headers;
    // Query parameters, then the fields of a form-encoded body, each decoded; a name may repeat.
    std::multimap<std::string, std::string> params;
    std::string body;
    std::string remote_addr; // the peer of the connection, or the client a trusted proxy named
    // The whole path and the groups of the route pattern that matched it.
    std::vector<std::string> matches;

    // The first value of the header `name`, or empty.
    std::string get_header_value(const std::string& name) const;
    // The first value of the parameter `name`, or empty.
    std::string get_param_value(const std::string& name) const;
};

} // namespace tern::server
