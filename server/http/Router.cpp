#include "http/Router.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tern::server {

void Router::Get(const std::string& pattern, HttpHandler handler)
{
    m_get.push_back({pattern, std::regex(pattern), std::move(handler), kDefaultBodyLimit, {}});
}

void Router::Post(const std::string& pattern, HttpHandler handler)
{
    m_post.push_back({pattern, std::regex(pattern), std::move(handler), kDefaultBodyLimit, {}});
}

void Router::setBodyLimit(const std::string& method, const std::string& pattern, std::size_t bytes,
                          HeadCheck admit)
{
    if (std::vector<Route>* routes = routesFor(method)) {
        for (Route& route : *routes) {
            if (route.text != pattern)
                continue;
            route.bodyLimit = bytes;
            route.admit = std::move(admit);
            m_largestBodyLimit = std::max(m_largestBodyLimit, bytes);
            return;
        }
    }
    throw std::logic_error("no route " + method + " " + pattern);
}

std::vector<Router::Route>* Router::routesFor(const std::string& method)
{
    return const_cast<std::vector<Route>*>(std::as_const(*this).routesFor(method));
}

const std::vector<Router::Route>* Router::routesFor(const std::string& method) const
{
    if (method == "GET" || method == "HEAD")
        return &m_get;
    if (method == "POST")
        return &m_post;
    return nullptr;
}

const Router::Route* Router::find(const std::vector<Route>& routes, const std::string& path,
                                  std::smatch& match) const
{
    for (const Route& route : routes) {
        if (std::regex_match(path, match, route.pattern))
            return &route;
    }
    return nullptr;
}

Router::Outcome Router::dispatch(HttpRequest& req, HttpResponse& res) const
{
    const std::vector<Route>* routes = routesFor(req.method);
    if (!routes) {
        const bool known =
            req.method == "PUT" || req.method == "DELETE" || req.method == "OPTIONS" || req.method == "PATCH";
        return known ? Outcome::NoRoute : Outcome::UnknownMethod;
    }
    std::smatch match;
    const Route* route = find(*routes, req.path, match);
    if (!route)
        return Outcome::NoRoute;
    req.matches.assign(match.begin(), match.end());
    route->handler(req, res);
    return Outcome::Handled;
}

std::size_t Router::bodyLimit(const std::string& method, const std::string& path) const
{
    const std::vector<Route>* routes = routesFor(method);
    std::smatch match;
    const Route* route = routes ? find(*routes, path, match) : nullptr;
    return route ? route->bodyLimit : kDefaultBodyLimit;
}

} // namespace tern::server

namespace tern::server {

const HeadCheck* Router::admission(const std::string& method, const std::string& path) const
{
    const std::vector<Route>* routes = routesFor(method);
    std::smatch match;
    const Route* route = routes ? find(*routes, path, match) : nullptr;
    return route && route->admit ? &route->admit : nullptr;
}

} // namespace tern::server
