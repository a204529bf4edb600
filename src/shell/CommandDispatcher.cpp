#include "shell/CommandDispatcher.h"

#include "notify/Balloon.h"
#include "shell/TfInit.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <QCoreApplication>
#include <QSystemTrayIcon>

#include <chrono>
#include <thread>

namespace tern {

namespace {

constexpr const char* kTitle = "Tern Clipboard";
constexpr std::chrono::milliseconds kShareWait{30000};
constexpr int kWaitPollMs = 200;

enum BalloonKind { kInfo = 0, kError = 1, kWarning = 2 };

} // namespace

CommandDispatcher::CommandDispatcher(TfInit& owner) : m_owner(owner) {}

std::string CommandDispatcher::ErrorText(const std::string& connectionProblemText,
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
    TLoader& loader = m_owner.Loader();
    if (m_busy) {
        // One command at a time: a second one would run inside the first one's wait.
        m_owner.ShowTrayBalloon(loader.GetText("GLOBAL", "mUploading"), 10, kInfo);
        return;
    }
    const bool shiftDown = loader.Services().keys.isShiftDown();
    HideBalloon();
    if (m_waitRunning && command != TCommand::cmdShareClipboard)
        m_abandonWait = true; // what this command puts on the clipboard is not to be shared

    if (command != TCommand::cmdReshareSnapshot && FileExists(loader.LastSnapshotPath())) {
        m_pendingCommand = command;
        TBalloon& balloon = GetBalloon();
        balloon.SetButton1Caption(QString::fromStdString(loader.GetText("GLOBAL", "bCancel")));
        balloon.SetButton1Click([this] { hndlContinueSnap(); });
        balloon.SetButton2Caption(QString::fromStdString(loader.GetText("GLOBAL", "bRetry")));
        balloon.SetButton2Click([this] { hndlRetrySnap(); });
        balloon.ShowNearTray(m_owner.TrayIcon().geometry(), kTitle, 20, kWarning,
                             QString::fromStdString(loader.GetText("GLOBAL", "mReupload")));
        return;
    }
    const int delaySeconds = shiftDown ? 10 : 1;
    if (const platform::WindowHandle previous = m_owner.PrevForeground())
        loader.Services().focus.forceForegroundWindow(previous);

    m_busy = true;
    try {
        runOperation(command, delaySeconds);
    } catch (const std::exception& error) {
        m_owner.ShowTrayBalloon(ErrorText(loader.GetText("FAUTHFORM", "mConnectProb"), error), 10, kError);
    }
    m_busy = false;
}

void CommandDispatcher::runOperation(TCommand command, int delaySeconds)
{
    (void)delaySeconds; // the capture delay belongs to the screen, window and area shares
    TLoader& loader = m_owner.Loader();
    switch (command) {
    case TCommand::cmdRemoteCopy:
        loader.RemoteCopy();
        m_owner.ShowTrayBalloon(loader.GetText("GLOBAL", "mSelShared"), 10, kInfo);
        return;
    case TCommand::cmdRemotePaste:
        loader.RemotePaste();
        m_owner.ShowTrayBalloon(loader.GetText("GLOBAL", "mDataPasted"), 10, kInfo);
        return;
    case TCommand::cmdShareClipboard:
        loader.ShareClipboard();
        return;
    case TCommand::cmdShareScreen:
    case TCommand::cmdShareWindow:
    case TCommand::cmdShareArea:
    case TCommand::cmdReshareSnapshot:
        break;
    }
    throw Error("This command is not available in this version of Tern Clipboard.");
}

void CommandDispatcher::hndlContinueSnap()
{
    RemoveFile(m_owner.Loader().LastSnapshotPath());
    RunCommand(m_pendingCommand);
}

void CommandDispatcher::hndlRetrySnap()
{
    RunCommand(TCommand::cmdReshareSnapshot);
}

void CommandDispatcher::pumpFor(int ms)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CommandDispatcher::WaitAndShareClipboard()
{
    if (m_waitRunning) {
        // Chosen again from inside the running wait: that wait ends and a fresh one starts.
        m_restartWait = true;
        return;
    }
    TLoader& loader = m_owner.Loader();
    m_copyNow = false;
    m_restartWait = false;
    m_abandonWait = false;
    m_waitRunning = true;
    const auto start = std::chrono::steady_clock::now();

    TBalloon& balloon = GetBalloon();
    balloon.SetButton1Caption(QString::fromStdString(loader.GetText("GLOBAL", "bInClipboard")));
    balloon.SetButton1Click([this] { hndlCopyNow(); });
    balloon.ShowNearTray(m_owner.TrayIcon().geometry(), kTitle, 30, kInfo,
                         QString::fromStdString(loader.GetText("GLOBAL", "mCopy30Sec")));

    platform::SystemClipboard& clipboard = loader.Services().clipboard;
    const std::uint64_t sequence = clipboard.sequenceNumber();
    bool changed = false;
    while (!m_copyNow && !m_terminating && !m_abandonWait &&
           std::chrono::steady_clock::now() - start < kShareWait) {
        pumpFor(kWaitPollMs);
        if (m_restartWait || m_abandonWait)
            break;
        if (clipboard.sequenceNumber() != sequence) {
            changed = true;
            break;
        }
    }
    if (m_copyNow)
        changed = true;

    try {
        if (!m_restartWait && !m_terminating && !m_abandonWait) {
            if (changed)
                RunCommand(TCommand::cmdShareClipboard);
            else
                m_owner.ShowTrayBalloon(loader.GetText("GLOBAL", "mNoDataCopied"), 30, kInfo);
        }
    } catch (...) {
        // RunCommand reports its own errors; nothing else may escape a wait.
    }
    m_waitRunning = false;
    if (m_restartWait) {
        m_restartWait = false;
        WaitAndShareClipboard();
    }
}

} // namespace tern
