#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace tern::server {

using HttpHandler = std::function<void(const HttpRequest&, HttpResponse&)>;

// Routes by method and by a regular expression that must match the whole decoded path; the first
// route registered that matches answers. HEAD is answered by the GET route (the body is dropped by
// the transport).
class Router
{
public:
    void Get(const std::string& pattern, HttpHandler handler);
    void Post(const std::string& pattern, HttpHandler handler);

    enum class Outcome {
        Handled,
        NoRoute,       // no route for this method and path (404)
        UnknownMethod, // a method this service never answers (400)
    };
    // Fills `req.matches` and runs the matching handler; exceptions of the handler pass through.
    Outcome dispatch(HttpRequest& req, HttpResponse& res) const;

private:
    struct Route
    {
        std::regex pattern;
        HttpHandler handler;
    };
    std::vector<Route> m_get;
    std::vector<Route> m_post;
};

} // namespace tern::server
