#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tern {

// One blocking HTTP exchange per call, on a new connection. The reply is the response body whatever
// the status code; nothing means that no response arrived (no connection, time-out, a broken or
// oversized answer). Implementations may be called from several threads at once.
class HttpTransport
{
public:
    // Every request of the program: HTTP/1.0 with this User-Agent, no proxy, no redirects, http or
    // https (port 80 or 443 unless the address names another), one deadline for the whole exchange
    // from connecting to the last byte of the reply, and a body larger than the limit is no reply.
    static constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; Synapse)";
    static constexpr std::chrono::seconds kDefaultTimeout{90};
    static constexpr size_t kMaxReplyBytes = size_t{16} * 1024 * 1024;

    virtual ~HttpTransport() = default;

    virtual std::optional<std::string> get(const std::string& url) = 0;
    // Sends `body` unchanged with the header Content-Type `contentType`.
    virtual std::optional<std::string> post(const std::string& url, const std::string& contentType,
                                            const std::string& body) = 0;
    // Ends every exchange running now, and every later one, at once without a response: the program
    // is ending. Any thread.
    virtual void abortTransfers() = 0;
};

// The transport of the system the program is built for: libcurl on Linux, WinHTTP on Windows. An https
// peer must chain to the certificates of `caFile` when one is named, else to the system's store.
std::unique_ptr<HttpTransport>
CreateHttpTransport(const std::string& caFile = {},
                    std::chrono::milliseconds timeout = HttpTransport::kDefaultTimeout,
                    size_t maxReplyBytes = HttpTransport::kMaxReplyBytes);

} // namespace tern
