#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "http/HttpService.h"
#include "http/Router.h"

#include <optional>
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
    std::string clientAddress(const HttpRequest& head) const noexcept override;
    bool isTrustedProxy(const std::string& peer) const noexcept override;
    // Runs the route's head check; a request without a route, or whose route has none, is admitted.
    std::optional<HttpResponse> admitBody(const HttpRequest& head) const noexcept override;
    // A failing handler gives a 500 reply.
    HttpResponse answer(HttpRequest& req) const noexcept override;
    // `req` holds whatever was read of the request, at least the path once the request line was read.
    HttpResponse refuse(const HttpRequest& req, int status) const noexcept override;

private:
    // The reply to a request whose handling threw `what`: a 500 with the body the path's clients read.
    HttpResponse answerFailure(const HttpRequest& req, const char* what) const noexcept;
    // A reply of `status` built with as little memory as possible, for when a full one failed.
    static HttpResponse bareReply(const HttpRequest& req, int status) noexcept;
    void finish(const HttpRequest& req, HttpResponse& res) const;

    Router m_router;
    bool m_accessLog;
    std::vector<std::string> m_trustedProxies;
};

} // namespace tern::server
