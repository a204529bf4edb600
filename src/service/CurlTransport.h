#pragma once

#include "service/HttpTransport.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <set>

namespace tern {

// HTTP/1.0 over libcurl with the settings every request of the program uses (see HttpTransport); no
// proxy means neither a configured one nor one from the environment. The deadline holds however
// slowly the bytes come. abortTransfers() wakes every running exchange and ends it at once.
class CurlTransport final : public HttpTransport
{
public:
    explicit CurlTransport(std::chrono::milliseconds timeout = kDefaultTimeout,
                           size_t maxReplyBytes = kMaxReplyBytes);

    std::optional<std::string> get(const std::string& url) override;
    std::optional<std::string> post(const std::string& url, const std::string& contentType,
                                    const std::string& body) override;
    void abortTransfers() override;

private:
    std::optional<std::string> perform(const std::string& url, const std::string* contentType,
                                       const std::string* body);
    // Runs the prepared exchange to its end, its deadline or an abort; true when it completed.
    bool run(void* easy);

    std::chrono::milliseconds m_timeout;
    size_t m_maxReplyBytes;
    std::atomic<bool> m_aborted{false};
    std::mutex m_runningMutex;
    std::set<void*> m_running; // the multi handles of the exchanges running now
};

} // namespace tern
