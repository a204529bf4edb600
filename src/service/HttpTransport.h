#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tern {

// Why an exchange gave no response.
enum class HttpFailure {
    None,               // a response arrived
    NoConnection,       // no connection, or it broke before a complete response
    TimedOut,           // the deadline passed first
    CertificateRefused, // the https peer's certificate failed the check
    ReplyTooLarge,      // the body passed the reply limit
    Aborted,            // abortTransfers() ended it
};

// The outcome of one exchange: the response's status and body when one arrived, else the reason.
struct HttpReply
{
    HttpFailure failure = HttpFailure::NoConnection;
    int status = 0; // the HTTP status code of the response
    std::string body;

    bool arrived() const noexcept { return failure == HttpFailure::None; }
    // A status of the 2xx class: the service did what was asked.
    bool succeeded() const noexcept { return arrived() && status >= 200 && status < 300; }

    // Read like an optional body: true, and the body, when a response arrived.
    explicit operator bool() const noexcept { return arrived(); }
    const std::string& operator*() const& noexcept { return body; }
    std::string&& operator*() && noexcept { return std::move(body); }
    const std::string* operator->() const noexcept { return &body; }
    std::string value_or(const std::string& fallback) const { return arrived() ? body : fallback; }
};

// One blocking HTTP exchange per call, on a new connection. The reply holds the response body
// whatever the status code; without a response it says why none arrived. Implementations may be
// called from several threads at once.
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

    virtual HttpReply get(const std::string& url) = 0;
    // Sends `body` unchanged with the header Content-Type `contentType`.
    virtual HttpReply post(const std::string& url, const std::string& contentType,
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
