#pragma once

#include <optional>
#include <string>

namespace tern {

// One blocking HTTP exchange per call, on a new connection. The reply is the response body whatever
// the status code; nothing means that no response arrived (no connection, time-out, a broken or
// oversized answer). Implementations may be called from several threads at once.
class HttpTransport
{
public:
    virtual ~HttpTransport() = default;

    virtual std::optional<std::string> get(const std::string& url) = 0;
    // Sends `body` unchanged with the header Content-Type `contentType`.
    virtual std::optional<std::string> post(const std::string& url, const std::string& contentType,
                                            const std::string& body) = 0;
    // Ends every exchange running now, and every later one, at once without a response: the program
    // is ending. Any thread.
    virtual void abortTransfers() = 0;
};

} // namespace tern
