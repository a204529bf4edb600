#include "service/TransferWorkers.h"

#include "util/Errors.h"

namespace tern {

TDownloadThread::TDownloadThread(HttpTransport& transport, std::string address, std::string requestBody,
                                 std::function<void()> onDone)
    : Address(std::move(address)), RequestBody(std::move(requestBody))
{
    m_worker.start([this, &transport] { run(transport); }, std::move(onDone));
}

TDownloadThread::~TDownloadThread() = default;

void TDownloadThread::run(HttpTransport& transport)
{
    try {
        Outcome = transport.post(Address, kFormContentType, RequestBody);
        ReplyText = std::move(Outcome.body);
        Outcome.body.clear();
    } catch (...) {
        // A request that raised counts as unanswered.
        ReplyText.clear();
        Outcome = HttpReply{};
    }
}

TUploadThread::TUploadThread(HttpTransport& transport, std::string address, const std::string& payload,
                             std::function<void()> onDone)
    : Address(std::move(address)), m_payload(payload)
{
    m_worker.start([this, &transport] { run(transport); }, std::move(onDone));
}

TUploadThread::~TUploadThread() = default;

void TUploadThread::run(HttpTransport& transport)
{
    try {
        const MultipartBody request = BuildMultipartBody(m_payload);
        Outcome = transport.post(Address, request.contentType, request.body);
        if (Outcome.arrived())
            ReplyText = LinesJoinedCrLf(Outcome.body);
        Outcome.body.clear();
    } catch (...) {
        ReplyText.clear();
        Outcome = HttpReply{};
    }
}

TReadThread::TReadThread(HttpTransport& transport, std::string address, std::function<void()> onDone)
    : Address(std::move(address))
{
    m_worker.start([this, &transport] { run(transport); }, std::move(onDone));
}

TReadThread::~TReadThread() = default;

void TReadThread::run(HttpTransport& transport)
{
    try {
        Reply = transport.get(Address);
    } catch (...) {
        Reply = HttpReply{};
    }
}

TUpdateChecker::TUpdateChecker(HttpTransport& transport, std::string address)
    : Address(std::move(address)), m_transport(transport)
{
}

TUpdateChecker::~TUpdateChecker() = default;

void TUpdateChecker::start()
{
    if (m_worker.started())
        throw Error("The update check has already been started");
    m_worker.start([this] { run(); });
}

void TUpdateChecker::run()
{
    UpdateCheckResult result;
    try {
        HttpReply reply = m_transport.get(Address);
        result = ParseUpdateReply(reply.arrived() ? std::optional<std::string>(std::move(reply.body))
                                                  : std::nullopt);
        result.failure = reply.failure;
        result.status = reply.status;
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
