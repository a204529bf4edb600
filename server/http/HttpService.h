#pragma once

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <cstddef>
#include <optional>
#include <string>

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
    // The address the request whose head is `head` comes from: its peer, or the client that a trusted
    // proxy names for it.
    virtual std::string clientAddress(const HttpRequest& head) const noexcept = 0;
    // Whether `peer` (an address, or kUnixSocketPeer) is a trusted proxy: its connections carry many
    // clients and are not counted per address.
    virtual bool isTrustedProxy(const std::string& peer) const noexcept = 0;
    // Whether the large body of the request whose head is `head` may be read: nullopt, or the reply
    // that refuses it (for example for its credentials). Runs on a handler thread.
    virtual std::optional<HttpResponse> admitBody(const HttpRequest& head) const noexcept = 0;
    // The reply to a complete request.
    virtual HttpResponse answer(HttpRequest& req) const noexcept = 0;
    // The reply to a request refused with `status` before it was complete; `req` holds what is known.
    virtual HttpResponse refuse(const HttpRequest& req, int status) const noexcept = 0;
};

} // namespace tern::server
