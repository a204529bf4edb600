#include "service/TransferWorkers.h"

#include "util/Errors.h"

namespace tern {

namespace {

// Sets the done flag when the work ends, also by an exception.
class DoneOnExit
{
public:
    explicit DoneOnExit(std::atomic<bool>& flag) : m_flag(flag) {}
    ~DoneOnExit() { m_flag.store(true, std::memory_order_release); }
    DoneOnExit(const DoneOnExit&) = delete;
    DoneOnExit& operator=(const DoneOnExit&) = delete;

private:
    std::atomic<bool>& m_flag;
};

} // namespace

TDownloadThread::TDownloadThread(HttpTransport& transport, std::string address, std::string requestBody)
    : Address(std::move(address)), RequestBody(std::move(requestBody))
{
    m_thread = std::thread([this, &transport] { run(transport); });
}

TDownloadThread::~TDownloadThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TDownloadThread::run(HttpTransport& transport)
{
    const DoneOnExit done(m_done);
    try {
        if (std::optional<std::string> reply = transport.post(Address, kFormContentType, RequestBody))
            ReplyText = std::move(*reply);
    } catch (...) {
        // A request that raised counts as unanswered.
        ReplyText.clear();
    }
}

TUploadThread::TUploadThread(HttpTransport& transport, std::string address, const std::string& payload)
    : Address(std::move(address)), m_payload(payload)
{
    m_thread = std::thread([this, &transport] { run(transport); });
}

TUploadThread::~TUploadThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TUploadThread::run(HttpTransport& transport)
{
    const DoneOnExit done(m_done);
    try {
        const MultipartBody request = BuildMultipartBody(m_payload);
        if (std::optional<std::string> reply = transport.post(Address, request.contentType, request.body))
            ReplyText = LinesJoinedCrLf(*reply);
    } catch (...) {
        ReplyText.clear();
    }
}

TUpdateChecker::TUpdateChecker(HttpTransport& transport, std::string address)
    : Address(std::move(address)), m_transport(transport)
{
}

TUpdateChecker::~TUpdateChecker()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TUpdateChecker::Start()
{
    if (m_thread.joinable() || Done())
        throw Error("The update check has already been started");
    m_thread = std::thread([this] { run(); });
}

void TUpdateChecker::run()
{
    const DoneOnExit done(m_done);
    UpdateCheckResult result;
    try {
        result = ParseUpdateReply(m_transport.get(Address));
    } catch (...) {
        result = UpdateCheckResult{};
    }
    if (OnResult) {
        try {
            OnResult(result);
        } catch (...) {
            // The report belongs to the owner; an error in it must not end the process from here.
        }
    }
}

} // namespace tern
