#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace tern::server {

using HttpHandler = std::function<void(const HttpRequest&, HttpResponse&)>;
// Looks at the head of a request before its body is read: true to read the body, or false with the
// refusal filled in.
using HeadCheck = std::function<bool(const HttpRequest&, HttpResponse&)>;

// The largest body a route takes unless it names another limit: room for any form of credentials and
// a few fields.
constexpr std::size_t kDefaultBodyLimit = std::size_t{64} * 1024;

// Routes by method and by a regular expression that must match the whole decoded path; the first
// route registered that matches answers. HEAD is answered by the GET route (the body is dropped by
// the transport).
class Router
{
public:
    void Get(const std::string& pattern, HttpHandler handler);
    void Post(const std::string& pattern, HttpHandler handler);
    // Lets the route registered for `method` with exactly `pattern` take bodies of up to `bytes`
    // (kDefaultBodyLimit otherwise), once `admit` (when given) has passed the request's head. Throws
    // std::logic_error when there is no such route.
    void setBodyLimit(const std::string& method, const std::string& pattern, std::size_t bytes,
                      HeadCheck admit = {});

    enum class Outcome {
        Handled,
        NoRoute,       // no route for this method and path (404)
        UnknownMethod, // a method this service never answers (400)
    };
    // Fills `req.matches` and runs the matching handler; exceptions of the handler pass through.
    Outcome dispatch(HttpRequest& req, HttpResponse& res) const;
    // The largest body the route for `method` and `path` takes; the default limit when none matches,
    // so that a request without a route is refused as cheaply as any other.
    std::size_t bodyLimit(const std::string& method, const std::string& path) const;
    // The check of the route for `method` and `path` that a head must pass before a large body is
    // read; nullptr when it has none.
    const HeadCheck* admission(const std::string& method, const std::string& path) const;
    // The largest body any route takes.
    std::size_t largestBodyLimit() const noexcept { return m_largestBodyLimit; }

private:
    struct Route
    {
        std::string text;
        std::regex pattern;
        HttpHandler handler;
        std::size_t bodyLimit;
        HeadCheck admit;
    };
    std::vector<Route>* routesFor(const std::string& method);
    const std::vector<Route>* routesFor(const std::string& method) const;
    const Route* find(const std::vector<Route>& routes, const std::string& path, std::smatch& match) const;

    std::vector<Route> m_get;
    std::vector<Route> m_post;
    std::size_t m_largestBodyLimit = kDefaultBodyLimit;
};

} // namespace tern::server
