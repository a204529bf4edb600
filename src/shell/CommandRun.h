#pragma once

#include "annotate/AnnotateContext.h"
#include "notify/Notifier.h"
#include "service/HttpTransport.h"
#include "service/TransferWorkers.h"
#include "service/ui/WorkerJob.h"
#include "shell/RemoteTransfer.h"
#include "shell/Shares.h"
#include "shell/TCommand.h"
#include "shell/TrayView.h"
#include "util/TextLookup.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tern {

class TfClip;

// What the command runs use; all of it outlives every run.
struct CommandParts
{
    RemoteTransfer& remote;
    Shares& shares;
    HttpTransport& transport;
    AnnotateContext& annotate;
    Notifier& notifier;
    const TextLookup& texts;
};

// One capture or transfer command while it runs, driven by the event loop: its waits (the capture
// delay, the clipboard after Ctrl+C, the area selector, the transfer workers) are timers and signals,
// and state() says which one it is in. It ends exactly once, by calling `onEnded` with nothing on
// success or with the error that ended it; a run that is aborted ends silently. Its owner frees it
// with deleteLater(), never from inside `onEnded`'s call. GUI thread only.
class CommandRun : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Starting,
        Delaying,       // the capture delay
        WaitingForCopy, // the clipboard after the injected Ctrl+C
        Selecting,      // the area selector is shown
        Transferring,   // an upload or the download runs on its worker
        Settling,       // the clipboard reports the restored snapshot
        Ended
    };
    using Ended = std::function<void(const std::exception_ptr& error)>;

    // `tray` shows the upload indicator while a transfer runs.
    CommandRun(TCommand command, int delaySeconds, CommandParts parts, TrayView& tray, Ended onEnded);
    // Waits for a transfer's worker: abort the transport first when it may hang.
    ~CommandRun() override;

    // Runs the command's first step; later steps run from the event loop.
    void start();
    // The program is ending: nothing more happens and nothing is reported.
    void abort();
    State state() const noexcept { return m_state; }
    TCommand command() const noexcept { return m_command; }
    // The capture delay of the screen, window and area shares.
    int delaySeconds() const noexcept { return m_delaySeconds; }

    // The clipboard is polled this often after Ctrl+C, this many times.
    static constexpr int kCopyPollMs = 200;
    static constexpr int kCopyPolls = 21;

private:
    // Runs `step`; an error it throws ends the run.
    void guarded(const std::function<void()>& step);
    void end(const std::exception_ptr& error);

    void remoteCopy();
    void pollCopy();
    void remotePaste();
    // Puts the downloaded snapshot on the clipboard, then pastes it once the clipboard has reported it.
    void restoreDownload(TReadThread& worker);
    // Derives `key` on a worker unless there is none; `then` runs from the event loop once it is kept.
    void deriveKey(std::optional<KeyRequest> key, std::function<void()> then);
    // After the capture delay: the screen or window share, or the area selector.
    void delayed(const std::function<void()>& then);
    void shareScreen(bool currentWindowOnly);
    void selectArea();
    void onSelected(int result);
    // Shares what the clipboard holds; `then` runs after the link has been published.
    void shareClipboard(std::function<void()> then);
    // The shares of a captured picture end alike: the kept picture goes once its share succeeded.
    void shareKeptCapture(std::function<void()> then);

    void upload(UploadRequest request, std::function<void(const TUploadThread& worker)> then);
    void beginTransfer();
    void endTransfer();

    TCommand m_command;
    int m_delaySeconds;
    CommandParts m_parts;
    TrayView& m_tray;
    Ended m_onEnded;
    State m_state = State::Starting;
    QTimer m_timer;
    int m_polls = 0;
    std::uint64_t m_sequenceBefore = 0;
    bool m_indicatorShown = false;
    Shares::Palette m_palette;
    std::unique_ptr<TfClip> m_selector;
    std::unique_ptr<TfClip> m_closedSelector;
    // The payload outlives the upload worker that borrows it.
    std::string m_payload;
    // Kept after their end until the run goes: a job is never freed from its own report.
    std::unique_ptr<WorkerJob<TUploadThread>> m_upload;
    std::unique_ptr<WorkerJob<TReadThread>> m_download;
    std::unique_ptr<WorkerJob<TKeyThread>> m_key;
};

} // namespace tern
