#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "http/HttpService.h"
#include "http/Router.h"

#include <string>
#include <utility>
#include <vector>

namespace tern::server {

// Turns every request into a complete reply, whichever transport read it: runs the route, answers
// failures in the form the path's clients read (a JSON status or an HTML page), adds the security
// headers and writes the access line. A request passed on by a trusted proxy has its remote address
// replaced by the client's before any handler sees it.
class Dispatcher : public HttpService
{
public:
    explicit Dispatcher(bool accessLog, std::vector<std::string> trustedProxies = {})
        : m_accessLog(accessLog), m_trustedProxies(std::move(trustedProxies))
    {
    }

    Router& router() noexcept { return m_router; }

    std::size_t bodyLimit(const HttpRequest& head) const noexcept override;
    std::size_t largestBodyLimit() const noexcept override { return m_router.largestBodyLimit(); }
    // A failing handler gives a 500 reply.
    HttpResponse answer(HttpRequest& req) const noexcept override;
    // `req` holds whatever was read of the request, at least the path once the request line was read.
    HttpResponse refuse(const HttpRequest& req, int status) const noexcept override;

private:
    void finish(const HttpRequest& req, HttpResponse& res) const;

    Router m_router;
    bool m_accessLog;
    std::vector<std::string> m_trustedProxies;
};

} // namespace tern::server
