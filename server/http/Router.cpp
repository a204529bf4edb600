#include "http/Router.h"

namespace tern::server {

void Router::Get(const std::string& pattern, HttpHandler handler)
{
    m_get.push_back({std::regex(pattern), std::move(handler)});
}

void Router::Post(const std::string& pattern, HttpHandler handler)
{
    m_post.push_back({std::regex(pattern), std::move(handler)});
}

Router::Outcome Router::dispatch(HttpRequest& req, HttpResponse& res) const
{
    const std::vector<Route>* routes = nullptr;
    if (req.method == "GET" || req.method == "HEAD")
        routes = &m_get;
    else if (req.method == "POST")
        routes = &m_post;
    else if (req.method == "PUT" || req.method == "DELETE" || req.method == "OPTIONS" ||
             req.method == "PATCH")
        return Outcome::NoRoute;
    else
        return Outcome::UnknownMethod;
    for (const Route& route : *routes) {
        std::smatch match;
        if (!std::regex_match(req.path, match, route.pattern))
            continue;
        req.matches.assign(match.begin(), match.end());
        route.handler(req, res);
        return Outcome::Handled;
    }
    return Outcome::NoRoute;
}

} // namespace tern::server
