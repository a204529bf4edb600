#include "service/ServiceClient.h"

#include "service/TransferErrors.h"
#include "util/Errors.h"
#include "util/TextRoutines.h"

#include <cmath>

namespace tern {

namespace {

// Calls `end` when the scope is left, also by an exception.
class EndOnExit
{
public:
    explicit EndOnExit(const std::function<void()>& end) : m_end(end) {}
    ~EndOnExit()
    {
        if (m_end)
            m_end();
    }
    EndOnExit(const EndOnExit&) = delete;
    EndOnExit& operator=(const EndOnExit&) = delete;

private:
    const std::function<void()>& m_end;
};

constexpr DateTime kAutomaticCheckDays = 7.0;

} // namespace

std::string ServiceClient::connectionProblemText() const
{
    const std::string text = m_texts ? m_texts("FAUTHFORM", "mConnectProb") : std::string("mConnectProb");
    return SubstituteArgument(text, m_settings.serviceHost());
}

std::optional<nlohmann::json> ServiceReplyObject(const HttpReply& outcome, std::string_view body,
                                                 const std::string& address,
                                                 const std::string& connectionProblemText)
{
    if (!outcome.arrived())
        ThrowTransferFailure(outcome, connectionProblemText, address);
    // The status is not looked at while the body is a reply object; an error status with any other
    // body is the service failing, not an answer.
    if (body.empty()) {
        if (!outcome.succeeded())
            ThrowServiceError(outcome, connectionProblemText, address);
        return std::nullopt;
    }
    try {
        return ParseReplyObject(body);
    } catch (const JsonError&) {
        if (!outcome.succeeded())
            ThrowServiceError(outcome, connectionProblemText, address);
        throw;
    }
}

void ThrowWithoutLoginStatus(const std::string& connectionProblemText, const std::string& address)
{
    HttpReply noStatus;
    noStatus.failure = HttpFailure::None;
    ThrowServiceError(noStatus, connectionProblemText, address);
}

std::optional<nlohmann::json> ServiceClient::replyObject(const HttpReply& outcome, std::string_view body,
                                                         const std::string& address) const
{
    return ServiceReplyObject(outcome, body, address, connectionProblemText());
}

ServiceClient::ServiceClient(ServiceSettings& settings, TextSource texts, HttpTransport& transport,
                             SnapshotClipboard& clipboard)
    : m_settings(settings), m_texts(std::move(texts)), m_transport(transport), m_clipboard(clipboard)
{
}

ServiceClient::~ServiceClient()
{
    // The checkers are joined as they go; a check still running is aborted first, so that none of
    // them can hold the end of the program.
    reapUpdateCheckers();
    if (!m_checkers.empty())
        m_transport.abortTransfers();
}

std::string ServiceClient::text(const char* key) const
{
    return m_texts ? m_texts("GLOBAL", key) : std::string(key);
}

template <typename Worker>
void ServiceClient::waitFor(const Worker& worker, const std::function<void()>& eachPoll) const
{
    // Each poll ends early when the worker ends.
    while (!worker.done()) {
        if (eachPoll)
            eachPoll();
        worker.waitDone(m_pollInterval);
    }
}

nlohmann::json UploadReplyObject(const HttpReply& outcome, std::string_view body, const std::string& address,
                                 const std::string& connectionProblemText)
{
    std::optional<nlohmann::json> object = ServiceReplyObject(outcome, body, address, connectionProblemText);
    // An empty reply to an upload is the JSON reader's error.
    return object ? std::move(*object) : ParseReplyObject(body);
}

bool RestoreDownloadedSnapshot(SnapshotClipboard& clipboard, const HttpReply& reply,
                               const std::string& address, const std::string& connectionProblemText)
{
    if (!reply.arrived())
        ThrowTransferFailure(reply, connectionProblemText, address);
    // The body is taken as a snapshot whatever the status; one that is none under an error status is
    // the service failing (an error page, an empty refusal).
    try {
        return clipboard.restoreSnapshot(reply.body);
    } catch (const StreamReadError&) {
        if (!reply.succeeded())
            ThrowServiceError(reply, connectionProblemText, address);
        throw;
    }
}

nlohmann::json ServiceClient::uploadReplyObject(const HttpReply& outcome, std::string_view body,
                                                const std::string& address) const
{
    return UploadReplyObject(outcome, body, address, connectionProblemText());
}

std::optional<nlohmann::json> ServiceClient::CallAuthService(const std::string& path, const std::string& body,
                                                             AuthProgress* progress)
{
    std::string reply;
    HttpReply outcome;
    const std::string address = AuthServiceUrl(m_settings.serviceHost(), path);
    {
        // The worker is freed (its thread joined) before the reply is parsed.
        TDownloadThread worker(m_transport, address, body, m_workerDone);
        if (progress)
            progress->setVisible(true);
        const std::function<void()> hide = [progress] {
            if (progress)
                progress->setVisible(false);
        };
        const EndOnExit hideOnExit(hide);
        waitFor(worker, [progress] {
            if (progress) {
                const int next = progress->position() + 1;
                progress->setPosition(next > 10 ? 0 : next);
            }
        });
        reply = std::move(worker.ReplyText);
        outcome = worker.Outcome;
    }
    return replyObject(outcome, reply, address);
}

std::string ServiceClient::ValidateEmail(const std::string& email, AuthProgress* progress)
{
    return ReplyStatus(CallAuthService(kValidatePath, ValidateBody(email), progress));
}

bool ServiceClient::TryLogin(const std::string& email, const std::string& passwordValue)
{
    const std::string status =
        ReplyStatus(CallAuthService(kCheckPath, CredentialsBody(email, passwordValue), nullptr));
    // Only a status word is the service refusing the login; a reply without one says nothing about
    // the password. A refused attempt, or one that fails, keeps the account stored before it.
    if (status.empty())
        ThrowWithoutLoginStatus(connectionProblemText(),
                                AuthServiceUrl(m_settings.serviceHost(), kCheckPath));
    if (!LoginAccepted(status))
        return false;
    m_settings.setAccount(email, passwordValue);
    return !m_settings.login().empty();
}

std::optional<std::string> ServiceClient::RegisterAccount(const std::string& email,
                                                          const std::string& passwordValue)
{
    std::optional<std::string> error =
        RegistrationError(CallAuthService(kRegisterPath, CredentialsBody(email, passwordValue), nullptr));
    if (!error) {
        m_settings.setAccount(email, passwordValue);
    }
    return error;
}

std::string ServiceClient::WaitForReply(TUploadThread& worker)
{
    waitFor(worker, {});
    return worker.ReplyText;
}

bool ServiceClient::UploadSnapshot()
{
    const std::string snapshot = m_clipboard.captureSnapshot();
    if (snapshot.size() > kMaxSnapshotBytes)
        throw Error(TooLargeText(kMaxSnapshotBytes));
    std::string reply;
    HttpReply outcome;
    const std::string address = SaveUrl(m_settings.serviceHost(), m_settings.login(), m_settings.password());
    {
        TUploadThread worker(m_transport, address, snapshot, m_workerDone);
        reply = WaitForReply(worker);
        outcome = worker.Outcome;
    }
    return SaveSucceeded(uploadReplyObject(outcome, reply, address));
}

bool ServiceClient::DownloadSnapshot()
{
    HttpReply reply;
    const std::string address = ReadUrl(m_settings.serviceHost(), m_settings.login(), m_settings.password());
    {
        TReadThread worker(m_transport, address, m_workerDone);
        waitFor(worker, {});
        reply = std::move(worker.Reply);
    }
    return RestoreDownloadedSnapshot(m_clipboard, reply, address, connectionProblemText());
}

std::string ServiceClient::UploadShare(const std::string& payload, int kind)
{
    std::string reply;
    HttpReply outcome;
    const std::string address =
        ShareUrl(m_settings.serviceHost(), m_settings.login(), m_settings.password(), kind);
    {
        TUploadThread worker(m_transport, address, payload, m_workerDone);
        reply = WaitForReply(worker);
        outcome = worker.Outcome;
    }
    return ShareAccessKey(uploadReplyObject(outcome, reply, address), text("mUploadFailed"));
}

std::string ServiceClient::UploadClipboardShare()
{
    std::string payload;
    const int kind = m_clipboard.SaveShareable(payload);
    if (payload.size() > kMaxSharePayloadBytes)
        throw Error(TooLargeText(kMaxSharePayloadBytes));
    return UploadShare(payload, kind);
}

std::string ServiceClient::HistoryUrl() const
{
    return tern::HistoryUrl(m_settings.serviceHost(), m_settings.login(), m_settings.password());
}

std::string ServiceClient::forgotPasswordUrl(const std::string& email) const
{
    return tern::forgotPasswordUrl(m_settings.serviceHost(), email);
}

std::string ServiceClient::downloadPageUrl() const
{
    return tern::downloadPageUrl(m_settings.downloadHost(), m_settings.languageFile());
}

std::string ServiceClient::shareLinkUrl(const std::string& accessKey) const
{
    return tern::shareLinkUrl(m_settings.serviceHost(), accessKey);
}

void ServiceClient::reapUpdateCheckers()
{
    std::erase_if(m_checkers, [](const std::unique_ptr<TUpdateChecker>& checker) { return checker->done(); });
}

void ServiceClient::StartUpdateCheck(TUpdateChecker::ResultCallback onResult, unsigned buildNumber)
{
    reapUpdateCheckers();
    auto checker =
        std::make_unique<TUpdateChecker>(m_transport, UpdateCheckUrl(m_settings.serviceHost(), buildNumber));
    checker->OnResult = std::move(onResult);
    checker->start();
    m_checkers.push_back(std::move(checker));
}

void ServiceClient::CheckForUpdates(bool manual, DateTime now,
                                    TUpdateChecker::ResultCallback reportCheckResult,
                                    TUpdateChecker::ResultCallback reportNewerVersion)
{
    if (manual)
        StartUpdateCheck(std::move(reportCheckResult));
    else if (m_settings.checkUpdates() && std::fabs(now - m_settings.checkDate()) > kAutomaticCheckDays)
        StartUpdateCheck(std::move(reportNewerVersion));
    m_settings.setCheckDate(now);
}

bool ServiceClient::updateCheckRunning()
{
    reapUpdateCheckers();
    return !m_checkers.empty();
}

} // namespace tern
