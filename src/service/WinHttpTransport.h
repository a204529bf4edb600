#pragma once

#include "service/HttpTransport.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace tern {

// HTTP/1.0 over WinHTTP with the settings every request of the program uses (see HttpTransport); no
// proxy means neither a configured one nor the system's. http or https; an https peer must present a
// certificate for the address's host that chains to the system's store, or to the certificates of
// `caFile` when one is named; a peer that fails the check is sent nothing and gives no response. WinHTTP's
// own time-outs count per operation, so each exchange runs on a thread of its own while the caller waits for
// it until the deadline or an abort; an exchange given up that way ends on its thread by itself (it checks
// between reads, and no single WinHTTP call outlasts the time that was left), and its reply is
// dropped.
class WinHttpTransport final : public HttpTransport
{
public:
    explicit WinHttpTransport(std::chrono::milliseconds timeout = kDefaultTimeout,
                              size_t maxReplyBytes = kMaxReplyBytes, std::string caFile = {});
    ~WinHttpTransport() override;

    HttpReply get(const std::string& url) override;
    HttpReply post(const std::string& url, const std::string& contentType, const std::string& body) override;
    void abortTransfers() override;

    struct Exchange; // shared by the caller and the thread that runs it

private:
    HttpReply perform(const std::string& url, const std::string* contentType, const std::string* body);

    std::chrono::milliseconds m_timeout;
    size_t m_maxReplyBytes;
    std::string m_caFile;
    std::mutex m_mutex;
    bool m_aborted = false;
    std::set<std::shared_ptr<Exchange>> m_running;
};

} // namespace tern
