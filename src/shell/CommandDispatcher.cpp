#include "shell/CommandDispatcher.h"

#include "lang/TextKeys.h"
#include "notify/Balloon.h"
#include "shell/CommandOperations.h"
#include "shell/TrayView.h"
#include "ui/EventWait.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <chrono>
#include <cstdint>

namespace tern {

namespace {

constexpr std::chrono::milliseconds kShareWait{30000};

// Clears a flag when the scope ends, however it ends.
class ClearOnExit
{
public:
    explicit ClearOnExit(bool& flag) : m_flag(flag) { m_flag = true; }
    ~ClearOnExit() { m_flag = false; }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    bool& m_flag;
};

} // namespace

CommandDispatcher::CommandDispatcher(CommandOperations& operations, ShellServices& services, TrayView& tray)
    : m_operations(operations), m_services(services), m_tray(tray)
{
    m_operations.setUploadWaitHooks(
        {[this] { m_tray.beginUploadIndicator(); }, {}, [this] { m_tray.endUploadIndicator(); }});
}

std::string CommandDispatcher::errorText(const std::string& connectionProblemText,
                                         const std::exception& error)
{
    const auto* ours = dynamic_cast<const Error*>(&error);
    if (ours && isPlainError(*ours))
        return ours->what();
    // Appended, never formatted: a "%" in a translation cannot break the report.
    return connectionProblemText + " (" + (ours ? ours->typeName() : "Exception") + ")";
}

void CommandDispatcher::RunCommand(TCommand command)
{
    // Runs from menu actions, balloon buttons and the share wait: nothing may leave it.
    try {
        try {
            runCommand(command);
        } catch (const std::exception& error) {
            reportFailure(errorText(m_operations.ConnectionProblemText(), error));
        } catch (...) {
            reportFailure(m_operations.ConnectionProblemText() + " (Exception)");
        }
    } catch (...) {
        // Showing the report failed as well; the command ends here all the same.
    }
}

void CommandDispatcher::reportFailure(const std::string& text)
{
    if (m_terminating)
        return; // an exchange aborted because the program ends is no failure to report
    m_tray.showTrayBalloon(text, 10, BalloonKind::Error);
}

void CommandDispatcher::refuseWhileBusy()
{
    m_tray.showTrayBalloon(TextOf(m_operations, text::kUploading), 10, BalloonKind::Information);
}

void CommandDispatcher::runCommand(TCommand command)
{
    if (m_busy) {
        // One command at a time: a second one would run inside the first one's wait.
        refuseWhileBusy();
        return;
    }
    const bool shiftDown = m_services.keys.isShiftDown();
    HideBalloon();
    if (m_waitRunning && command != TCommand::cmdShareClipboard)
        m_abandonWait = true; // what this command puts on the clipboard is not to be shared

    if (command != TCommand::cmdReshareSnapshot && FileExists(m_operations.LastSnapshotPath())) {
        m_pendingCommand = command;
        TBalloon& balloon = GetBalloon();
        balloon.SetButton1Caption(QString::fromStdString(TextOf(m_operations, text::kCancelButton)));
        balloon.SetButton1Click([this] { hndlContinueSnap(); });
        balloon.SetButton2Caption(QString::fromStdString(TextOf(m_operations, text::kRetryButton)));
        balloon.SetButton2Click([this] { hndlRetrySnap(); });
        m_tray.showTrayBalloon(balloon, TextOf(m_operations, text::kReupload), 20, BalloonKind::Warning);
        return;
    }
    const int delaySeconds = shiftDown ? 10 : 1;
    // Busy from here: bringing the window to the front serves events while the window manager acts.
    const ClearOnExit busy(m_busy);
    if (const platform::WindowHandle previous = m_tray.prevForeground())
        m_services.focus.forceForegroundWindow(previous);
    runOperation(command, delaySeconds);
}

void CommandDispatcher::runOperation(TCommand command, int delaySeconds)
{
    // The screen, window and area shares take the capture delay; the others run at once.
    switch (command) {
    case TCommand::cmdRemoteCopy:
        m_operations.RemoteCopy();
        m_tray.showTrayBalloon(TextOf(m_operations, text::kSelectionShared), 10, BalloonKind::Information);
        return;
    case TCommand::cmdRemotePaste:
        m_operations.RemotePaste();
        m_tray.showTrayBalloon(TextOf(m_operations, text::kDataPasted), 10, BalloonKind::Information);
        return;
    case TCommand::cmdShareClipboard:
        m_operations.ShareClipboard();
        return;
    case TCommand::cmdShareScreen:
        m_operations.ShareScreen(false, delaySeconds);
        return;
    case TCommand::cmdShareWindow:
        m_operations.ShareScreen(true, delaySeconds);
        return;
    case TCommand::cmdShareArea:
        m_operations.ShareArea(delaySeconds);
        return;
    case TCommand::cmdReshareSnapshot:
        m_operations.ReshareLastSnapshot();
        return;
    }
}

void CommandDispatcher::Terminate()
{
    m_terminating = true;
    m_operations.Terminate();
}

void CommandDispatcher::hndlContinueSnap()
{
    RemoveFile(m_operations.LastSnapshotPath());
    RunCommand(m_pendingCommand);
}

void CommandDispatcher::hndlRetrySnap()
{
    RunCommand(TCommand::cmdReshareSnapshot);
}

void CommandDispatcher::WaitAndShareClipboard()
{
    if (m_waitRunning) {
        // Chosen again from inside the running wait: that wait ends and a fresh one starts.
        m_restartWait = true;
        return;
    }
    if (m_busy) {
        // A wait started inside a running command would take that command's clipboard change for
        // the copy meant to be shared.
        try {
            refuseWhileBusy();
        } catch (...) {
            // Runs from the Share Clipboard action: nothing may leave it.
        }
        return;
    }
    m_copyNow = false;
    m_restartWait = false;
    m_abandonWait = false;
    // Runs from the Share Clipboard action: nothing may leave it.
    try {
        const ClearOnExit running(m_waitRunning);
        const QDeadlineTimer deadline(kShareWait);

        TBalloon& balloon = GetBalloon();
        balloon.SetButton1Caption(QString::fromStdString(TextOf(m_operations, text::kInClipboardButton)));
        balloon.SetButton1Click([this] { hndlCopyNow(); });
        balloon.SetTimeLeftText(QString::fromStdString(m_operations.GetText("GLOBAL", "mTimeLeft")));
        m_tray.showTrayBalloon(balloon, TextOf(m_operations, text::kCopy30Sec), 30, BalloonKind::Information);

        platform::SystemClipboard& clipboard = m_services.clipboard;
        const std::uint64_t sequence = clipboard.sequenceNumber();
        ui::waitServingEvents(deadline, [&] {
            return m_copyNow || m_terminating || m_abandonWait || m_restartWait ||
                   clipboard.sequenceNumber() != sequence;
        });
        const bool changed = m_copyNow || clipboard.sequenceNumber() != sequence;

        if (!m_restartWait && !m_terminating && !m_abandonWait) {
            if (changed)
                RunCommand(TCommand::cmdShareClipboard); // reports its own errors
            else
                m_tray.showTrayBalloon(TextOf(m_operations, text::kNoDataCopied), 30,
                                       BalloonKind::Information);
        }
    } catch (...) {
        // RunCommand reports its own errors; a balloon that cannot be shown ends the wait all the same.
    }
    if (m_restartWait) {
        m_restartWait = false;
        WaitAndShareClipboard();
    }
}

} // namespace tern
