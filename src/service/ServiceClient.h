#pragma once

#include "service/HttpTransport.h"
#include "service/ServiceProtocol.h"
#include "service/ServiceSettings.h"
#include "service/SnapshotClipboard.h"
#include "service/TransferWorkers.h"
#include "util/DateTime.h"
#include "util/ProgramVersion.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tern {

// A progress indicator for the account requests (positions 0 to 10). GUI thread only.
class AuthProgress
{
public:
    virtual ~AuthProgress() = default;
    virtual void setVisible(bool visible) = 0;
    virtual int position() const = 0;
    virtual void setPosition(int position) = 0;
};

// The reply object of a response to `address`: throws the transfer failure when no response came,
// ServiceError for an error status without a reply object; nullopt for an empty successful reply.
std::optional<nlohmann::json> ServiceReplyObject(const HttpReply& outcome, std::string_view body,
                                                 const std::string& address,
                                                 const std::string& connectionProblemText);
// As ServiceReplyObject; an empty body throws JsonError.
nlohmann::json UploadReplyObject(const HttpReply& outcome, std::string_view body, const std::string& address,
                                 const std::string& connectionProblemText);
// Puts the downloaded snapshot `reply` on the clipboard: throws the transfer failure when no response
// came, ServiceError for an error status whose body is no snapshot; false when nothing was put there.
bool RestoreDownloadedSnapshot(SnapshotClipboard& clipboard, const HttpReply& reply,
                               const std::string& address, const std::string& connectionProblemText);
// A sign-in reply without a status word says nothing about the password: the service's error.
[[noreturn]] void ThrowWithoutLoginStatus(const std::string& connectionProblemText,
                                          const std::string& address);

// The service operations of the program, without any user interface: account requests, snapshot
// upload and download, share upload, and the version check. It uses the stored settings, the texts
// of the current language, the HTTP transport and the clipboard object, all borrowed. GUI thread
// only; only the network calls run on worker threads.
class ServiceClient
{
public:
    using TextSource = std::function<std::string(const std::string& section, const std::string& key)>;

    ServiceClient(ServiceSettings& settings, TextSource texts, HttpTransport& transport,
                  SnapshotClipboard& clipboard);
    // Waits for the update checks still running, after aborting the transport's exchanges when there
    // are any (see abortTransfers).
    ~ServiceClient();
    ServiceClient(const ServiceClient&) = delete;
    ServiceClient& operator=(const ServiceClient&) = delete;

    // How often the waits look at a worker's done flag.
    void setPollInterval(std::chrono::milliseconds interval) { m_pollInterval = interval; }
    // Runs on a worker's thread as soon as the worker has ended, so that an event wait can end then
    // rather than at its next poll. Set it before the first request.
    void setWorkerDoneSignal(std::function<void()> signal) { m_workerDone = std::move(signal); }
    // Ends every running and later exchange of the transport without a response: the program is
    // ending. The waits for those exchanges then end at once.
    void abortTransfers() { m_transport.abortTransfers(); }

    // ---- accounts (e-mail as typed, password value = digest of the typed password)

    // Posts an account request and waits without processing messages. Nothing when the response
    // was empty. No response throws the TransferError that says why; an error status without a
    // reply object throws ServiceError; any other response that is not a JSON object throws
    // JsonError.
    std::optional<nlohmann::json> CallAuthService(const std::string& path, const std::string& body,
                                                  AuthProgress* progress);
    // The "status" of auth/validate; empty when there was no reply or no status.
    std::string ValidateEmail(const std::string& email, AuthProgress* progress);
    // Asks auth/check; on "ok" stores Login and Password (in memory) and returns whether the Login is
    // not empty. False only when the service answered another status; a reply without a status
    // throws ServiceError. Otherwise, and when it throws, the stored Login and Password stay as they
    // were.
    bool TryLogin(const std::string& email, const std::string& passwordValue);
    // Nothing when the account was created (Login and Password are then stored in memory); otherwise
    // the text to show. Throws as CallAuthService does.
    std::optional<std::string> RegisterAccount(const std::string& email, const std::string& passwordValue);

    // ---- storage

    // Waits for an upload worker and returns its reply text.
    std::string WaitForReply(TUploadThread& worker);
    // Captures the clipboard and uploads the snapshot. True when stored, false when the reply had no
    // status; throws for a snapshot over the limit, another status, no response (TransferError), an
    // error status without a reply object (ServiceError) or a reply that is not JSON.
    bool UploadSnapshot();
    // Downloads the stored snapshot on a worker, waiting for it as an upload does, and
    // restores it onto the clipboard; false when none of its formats could be put on the clipboard
    // (which then keeps its content). No response throws the TransferError that says why; a body
    // that is no snapshot throws StreamReadError, or ServiceError under an error status.
    bool DownloadSnapshot();
    // Uploads a share payload of `kind` and returns its access key (never empty: every failure
    // throws, see ShareAccessKey).
    std::string UploadShare(const std::string& payload, int kind);
    // Converts the clipboard into a share payload, refuses one over the limit, and uploads it.
    std::string UploadClipboardShare();

    // ---- addresses

    std::string HistoryUrl() const;
    std::string forgotPasswordUrl(const std::string& email) const;
    std::string downloadPageUrl() const;
    std::string shareLinkUrl(const std::string& accessKey) const;

    // ---- version check

    // Starts a version check for `buildNumber`; `onResult` runs on the checker's thread.
    void StartUpdateCheck(TUpdateChecker::ResultCallback onResult, unsigned buildNumber = kBuildNumber);
    // The manual check reports every outcome through `reportCheckResult`; the automatic one runs only
    // when automatic checks are on and the last check is more than seven days from `now`, and reports
    // through `reportNewerVersion`. Either way CheckDate becomes `now`.
    void CheckForUpdates(bool manual, DateTime now, TUpdateChecker::ResultCallback reportCheckResult,
                         TUpdateChecker::ResultCallback reportNewerVersion);
    // True while an update check started here is still running.
    bool updateCheckRunning();

    // The connection-problem text with the service host, as every TransferError starts.
    std::string connectionProblemText() const;

private:
    std::string text(const char* key) const;
    // The reply object of a response to `address`; see CallAuthService.
    std::optional<nlohmann::json> replyObject(const HttpReply& outcome, std::string_view body,
                                              const std::string& address) const;
    // As replyObject; an empty body throws JsonError.
    nlohmann::json uploadReplyObject(const HttpReply& outcome, std::string_view body,
                                     const std::string& address) const;
    template <typename Worker>
    void waitFor(const Worker& worker, const std::function<void()>& eachPoll) const;
    void reapUpdateCheckers();

    ServiceSettings& m_settings;
    TextSource m_texts;
    HttpTransport& m_transport;
    SnapshotClipboard& m_clipboard;
    std::function<void()> m_workerDone;
    std::chrono::milliseconds m_pollInterval{100};
    std::vector<std::unique_ptr<TUpdateChecker>> m_checkers;
};

} // namespace tern
