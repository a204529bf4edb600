#pragma once

#include "service/HttpTransport.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace tern {

class CurlMultiPool;

// HTTP/1.0 over libcurl with the settings every request of the program uses: the fixed User-Agent, no
// proxy (neither configured nor from the environment), no redirects, http or https only (port 80 or
// 443 unless the address names another), and one deadline for the whole exchange from connecting to
// the last byte of the reply, however slowly the bytes come. An https peer must present a certificate
// for the address's host that chains to a trusted authority: the system's store, or only the
// certificates of `caFile` when one is named; a peer that fails the check gives no response. A body
// larger than the reply limit counts as no response. abortTransfers() wakes every running exchange
// and ends it at once. Every exchange has a connection of its own, but TLS sessions and resolved names
// are kept for the process's life and the certificate store for the transport's, so a later exchange
// with the same peer resumes its TLS session.
class CurlTransport final : public HttpTransport
{
public:
    explicit CurlTransport(std::chrono::milliseconds timeout = kDefaultTimeout,
                           size_t maxReplyBytes = kMaxReplyBytes, std::string caFile = {});
    ~CurlTransport() override;

    HttpReply get(const std::string& url) override;
    HttpReply post(const std::string& url, const std::string& contentType, const std::string& body) override;
    void abortTransfers() override;

private:
    HttpReply perform(const std::string& url, const std::string* contentType, const std::string* body);
    // Runs the prepared exchange to its end, its deadline or an abort; HttpFailure::None when it
    // completed, else why it did not.
    HttpFailure run(void* easy);

    std::chrono::milliseconds m_timeout;
    size_t m_maxReplyBytes;
    std::string m_caFile;
    std::atomic<bool> m_aborted{false};
    std::mutex m_runningMutex;
    std::set<void*> m_running; // the multi handles of the exchanges running now
    std::unique_ptr<CurlMultiPool> m_multis;
};

} // namespace tern
