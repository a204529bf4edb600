#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "http/Router.h"

namespace tern::server {

// Turns every request into a complete reply, whichever transport read it: runs the route, answers
// failures in the form the path's clients read (a JSON status or an HTML page), adds the security
// headers and writes the access line.
class Dispatcher
{
public:
    explicit Dispatcher(bool accessLog) : m_accessLog(accessLog) {}

    Router& router() noexcept { return m_router; }

    // The reply to a complete request; never throws (a failing handler gives a 500 reply).
    HttpResponse answer(HttpRequest& req) const;
    // The reply to a request the transport refused before it was complete (400, 408, 413, 415, 431...):
    // `req` holds whatever was read of it, at least the path when the request line was read.
    HttpResponse refuse(const HttpRequest& req, int status) const;

private:
    void finish(const HttpRequest& req, HttpResponse& res) const;

    Router m_router;
    bool m_accessLog;
};

} // namespace tern::server
