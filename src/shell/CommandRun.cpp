#include "shell/CommandRun.h"

#include "annotate/TfClip.h"
#include "platform/qt/QtBitmap.h"

namespace tern {

namespace {

constexpr int kSuccessBalloonSeconds = 10;

} // namespace

CommandRun::CommandRun(TCommand command, int delaySeconds, CommandParts parts, TrayView& tray, Ended onEnded)
    : m_command(command), m_delaySeconds(delaySeconds), m_parts(parts), m_tray(tray),
      m_onEnded(std::move(onEnded))
{
    m_timer.setTimerType(Qt::PreciseTimer);
}

CommandRun::~CommandRun()
{
    m_timer.stop();
    m_selector.reset();
    m_closedSelector.reset();
    // The workers are joined here (members), after the indicator is back to normal.
    endTransfer();
}

void CommandRun::start()
{
    guarded([this] {
        switch (m_command) {
        case TCommand::cmdRemoteCopy:
            remoteCopy();
            return;
        case TCommand::cmdRemotePaste:
            remotePaste();
            return;
        case TCommand::cmdShareClipboard:
            shareClipboard([this] { end(nullptr); });
            return;
        case TCommand::cmdShareScreen:
            delayed([this] { shareScreen(false); });
            return;
        case TCommand::cmdShareWindow:
            delayed([this] { shareScreen(true); });
            return;
        case TCommand::cmdShareArea:
            delayed([this] { selectArea(); });
            return;
        case TCommand::cmdReshareSnapshot:
            m_parts.shares.restoreKeptCapture();
            shareKeptCapture([this] { end(nullptr); });
            return;
        }
    });
}

void CommandRun::abort()
{
    if (m_state == State::Ended)
        return;
    m_state = State::Ended;
    m_timer.stop();
    if (m_selector)
        m_selector->hide();
    endTransfer();
}

void CommandRun::guarded(const std::function<void()>& step)
{
    if (m_state == State::Ended)
        return;
    try {
        step();
    } catch (...) {
        end(std::current_exception());
    }
}

void CommandRun::end(const std::exception_ptr& error)
{
    if (m_state == State::Ended)
        return;
    m_state = State::Ended;
    m_timer.stop();
    endTransfer();
    if (m_onEnded)
        m_onEnded(error);
}

void CommandRun::remoteCopy()
{
    m_state = State::WaitingForCopy;
    m_sequenceBefore = m_parts.remote.clipboardSequence();
    // The end-to-end key of the copy is derived while the window in front copies; a clipboard that
    // changes first waits for it (the key's end polls once more).
    if (std::optional<KeyRequest> key = m_parts.remote.copyKey()) {
        deriveKey(std::move(key), [this] {
            if (m_state == State::WaitingForCopy && !m_timer.isActive())
                pollCopy();
        });
    }
    m_parts.remote.SimulateCopy();
    m_polls = 0;
    disconnect(&m_timer, nullptr, this, nullptr);
    connect(&m_timer, &QTimer::timeout, this, [this] { guarded([this] { pollCopy(); }); });
    m_timer.setSingleShot(false);
    m_timer.start(kCopyPollMs);
    // A window that answers at once needs no poll.
    pollCopy();
}

void CommandRun::pollCopy()
{
    if (m_state != State::WaitingForCopy)
        return;
    if (m_parts.remote.clipboardSequence() == m_sequenceBefore) {
        if (m_polls++ < kCopyPolls)
            return;
        m_timer.stop();
        m_parts.remote.copyFailed();
    }
    m_timer.stop();
    if (m_key && !m_key->worker().done())
        return;
    upload(m_parts.remote.snapshotUpload(), [this](const TUploadThread& worker) {
        m_parts.remote.acceptSaveReply(worker.Outcome, worker.ReplyText, worker.Address);
        m_parts.notifier.notify(m_parts.texts.GetText("GLOBAL", "mSelShared"), kSuccessBalloonSeconds,
                                BalloonKind::Information);
        end(nullptr);
    });
}

void CommandRun::remotePaste()
{
    m_sequenceBefore = m_parts.remote.clipboardSequence();
    beginTransfer();
    m_download = std::make_unique<WorkerJob<TReadThread>>(
        [this](TReadThread& worker) {
            // A keyed copy's key is derived off this thread first; the download stays with the run.
            guarded([this, &worker] {
                deriveKey(m_parts.remote.pasteKey(worker.Reply),
                          [this, &worker] { restoreDownload(worker); });
            });
        },
        m_parts.transport, m_parts.remote.downloadAddress());
}

void CommandRun::restoreDownload(TReadThread& worker)
{
    endTransfer();
    const bool restored = m_parts.remote.restore(worker.Reply, worker.Address);
    // The clipboard reports its change from the event loop; the check follows that.
    m_state = State::Settling;
    QTimer::singleShot(0, this, [this, restored] {
        guarded([this, restored] {
            m_parts.remote.SimulatePaste(restored, m_sequenceBefore, m_tray.prevForeground());
            m_parts.notifier.notify(m_parts.texts.GetText("GLOBAL", "mDataPasted"), kSuccessBalloonSeconds,
                                    BalloonKind::Information);
            end(nullptr);
        });
    });
}

void CommandRun::deriveKey(std::optional<KeyRequest> key, std::function<void()> then)
{
    if (!key) {
        then();
        return;
    }
    m_key = std::make_unique<WorkerJob<TKeyThread>>(
        [this, then = std::move(then)](TKeyThread&) { guarded(then); }, std::move(*key));
}

void CommandRun::delayed(const std::function<void()>& then)
{
    m_parts.shares.announceDelay(m_delaySeconds);
    if (m_delaySeconds <= 0) {
        then();
        return;
    }
    m_state = State::Delaying;
    disconnect(&m_timer, nullptr, this, nullptr);
    connect(&m_timer, &QTimer::timeout, this, [this, then] { guarded(then); });
    m_timer.setSingleShot(true);
    m_timer.start(m_delaySeconds * 1000);
}

void CommandRun::shareScreen(bool currentWindowOnly)
{
    m_parts.shares.keepCapture(m_parts.shares.captureScreen(currentWindowOnly));
    shareKeptCapture([this] { end(nullptr); });
}

void CommandRun::selectArea()
{
    m_state = State::Selecting;
    m_selector = std::make_unique<TfClip>(m_parts.annotate);
    m_parts.shares.givePaletteSettings(*m_selector);
    connect(m_selector.get(), &TfClip::finished, this,
            [this](int result) { guarded([this, result] { onSelected(result); }); });
    m_selector->Execute();
}

void CommandRun::onSelected(int result)
{
    platform::Bitmap picture;
    if (result == TfClip::kConfirmed)
        picture = platform::qt::BitmapFromImage(m_selector->ResultBitmap());
    m_palette = {m_selector->CurColor, m_selector->CurFont, m_selector->CurLine};
    // The selector is hidden already; it is freed (which ends the dialog state) from the event loop,
    // not from inside its own signal.
    m_closedSelector = std::move(m_selector);
    QTimer::singleShot(0, this, [this] { m_closedSelector.reset(); });
    const auto finish = [this] {
        // Reached after a share and after a cancel alike, not after an error (the picture then stays).
        m_parts.shares.keepPaletteSettings(m_palette);
        m_parts.shares.dropKeptCapture(); // a cancelled selection leaves no picture behind either
        end(nullptr);
    };
    if (picture.empty()) {
        finish();
        return;
    }
    m_parts.shares.keepCapture(picture);
    shareKeptCapture(finish);
}

void CommandRun::shareKeptCapture(std::function<void()> then)
{
    shareClipboard([this, then = std::move(then)] {
        m_parts.shares.dropKeptCapture();
        then();
    });
}

void CommandRun::shareClipboard(std::function<void()> then)
{
    upload(m_parts.shares.clipboardShareUpload(),
           [this, then = std::move(then)](const TUploadThread& worker) {
               m_parts.shares.publishLink(
                   m_parts.shares.acceptShareReply(worker.Outcome, worker.ReplyText, worker.Address));
               then();
           });
}

void CommandRun::upload(UploadRequest request, std::function<void(const TUploadThread& worker)> then)
{
    m_payload = std::move(request.payload);
    beginTransfer();
    m_upload = std::make_unique<WorkerJob<TUploadThread>>(
        [this, then = std::move(then)](TUploadThread& worker) {
            guarded([this, &worker, &then] {
                endTransfer();
                then(worker);
            });
        },
        m_parts.transport, std::move(request.address), m_payload);
}

void CommandRun::beginTransfer()
{
    m_state = State::Transferring;
    if (!m_indicatorShown) {
        m_indicatorShown = true;
        m_tray.beginUploadIndicator();
    }
}

void CommandRun::endTransfer()
{
    if (m_indicatorShown) {
        m_indicatorShown = false;
        m_tray.endUploadIndicator();
    }
}

} // namespace tern
