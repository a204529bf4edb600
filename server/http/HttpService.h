#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <cstddef>

namespace tern::server {

// What the transport asks of the service behind it. Every method may be called from several handler
// threads at once; none may throw.
class HttpService
{
public:
    virtual ~HttpService() = default;

    // The largest body the request whose head is `head` may carry (its body is still unread).
    virtual std::size_t bodyLimit(const HttpRequest& head) const noexcept = 0;
    // The largest body any request may carry.
    virtual std::size_t largestBodyLimit() const noexcept = 0;
    // The reply to a complete request.
    virtual HttpResponse answer(HttpRequest& req) const noexcept = 0;
    // The reply to a request refused with `status` before it was complete; `req` holds what is known.
    virtual HttpResponse refuse(const HttpRequest& req, int status) const noexcept = 0;
};

} // namespace tern::server
