#include "shell/CommandDispatcher.h"

#include "shell/TrayView.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

namespace tern {

namespace {

constexpr int kFailureBalloonSeconds = 10;
constexpr int kQuestionBalloonSeconds = 20;
constexpr int kWaitBalloonSeconds = 30;

} // namespace

CommandDispatcher::CommandDispatcher(CommandParts parts, Desktop desktop, TrayView& tray,
                                     std::function<std::string()> connectionProblemText)
    : m_parts(parts), m_desktop(desktop), m_tray(tray),
      m_connectionProblemText(std::move(connectionProblemText))
{
    m_waitPoll.setInterval(kShareWaitPollMs);
    connect(&m_waitPoll, &QTimer::timeout, this, &CommandDispatcher::pollShareWait);
}

CommandDispatcher::~CommandDispatcher()
{
    m_waitPoll.stop();
    m_run.reset();
    m_endedRun.reset();
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
            startCommand(command);
        } catch (...) {
            reportFailure(std::current_exception());
        }
    } catch (...) {
        // Showing the report failed as well; the command ends here all the same.
    }
}

void CommandDispatcher::reportFailure(const std::exception_ptr& error)
{
    if (m_state == State::Ended || !error)
        return; // an exchange aborted because the program ends is no failure to report
    std::string text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& failure) {
        text = errorText(m_connectionProblemText(), failure);
    } catch (...) {
        text = m_connectionProblemText() + " (Exception)";
    }
    m_parts.notifier.notify(text, kFailureBalloonSeconds, BalloonKind::Error);
}

void CommandDispatcher::refuseWhileBusy()
{
    m_parts.notifier.notify(m_parts.texts.GetText("GLOBAL", "mUploading"), kFailureBalloonSeconds,
                            BalloonKind::Information);
}

void CommandDispatcher::startCommand(TCommand command)
{
    if (m_state == State::Ended)
        return;
    if (m_state == State::Running) {
        // One command at a time.
        refuseWhileBusy();
        return;
    }
    const bool shiftDown = m_desktop.keys.isShiftDown();
    m_parts.notifier.hideNotice();
    if (m_state == State::ShareWait)
        stopShareWait(); // what this command puts on the clipboard is not to be shared

    if (command != TCommand::cmdReshareSnapshot && FileExists(m_parts.shares.LastSnapshotPath())) {
        m_pendingCommand = command;
        m_parts.notifier.notify(m_parts.texts.GetText("GLOBAL", "mReupload"), kQuestionBalloonSeconds,
                                BalloonKind::Warning,
                                {{m_parts.texts.GetText("GLOBAL", "bCancel"), [this] { hndlContinueSnap(); }},
                                 {m_parts.texts.GetText("GLOBAL", "bRetry"), [this] { hndlRetrySnap(); }}});
        return;
    }
    const int delaySeconds = shiftDown ? 10 : 1;
    // Running from here: bringing the window to the front lets events through while the window
    // manager acts.
    m_state = State::Running;
    m_run = std::make_unique<CommandRun>(command, delaySeconds, m_parts, m_tray,
                                         [this](const std::exception_ptr& error) { onRunEnded(error); });
    if (const platform::WindowHandle previous = m_tray.prevForeground())
        m_desktop.focus.forceForegroundWindow(previous);
    if (m_run && m_state == State::Running)
        m_run->start();
}

void CommandDispatcher::onRunEnded(const std::exception_ptr& error)
{
    m_endedRun = std::move(m_run);
    QTimer::singleShot(0, this, [this] { m_endedRun.reset(); });
    if (m_state == State::Running)
        m_state = State::Idle;
    try {
        reportFailure(error);
    } catch (...) {
        // A balloon that cannot be shown ends the command all the same.
    }
}

void CommandDispatcher::Terminate()
{
    stopShareWait();
    m_state = State::Ended;
    // A transfer's worker ends at once, so that freeing the run does not wait for the service.
    m_parts.transport.abortTransfers();
    if (m_run)
        m_run->abort();
}

void CommandDispatcher::hndlContinueSnap()
{
    RemoveFile(m_parts.shares.LastSnapshotPath());
    RunCommand(m_pendingCommand);
}

void CommandDispatcher::hndlRetrySnap()
{
    RunCommand(TCommand::cmdReshareSnapshot);
}

void CommandDispatcher::WaitAndShareClipboard()
{
    // Runs from the Share Clipboard action: nothing may leave it.
    try {
        switch (m_state) {
        case State::Ended:
            return;
        case State::Running:
            // A wait started inside a running command would take that command's clipboard change for
            // the copy meant to be shared.
            refuseWhileBusy();
            return;
        case State::ShareWait:
            // Chosen again during the wait: that wait ends and a fresh one starts.
            stopShareWait();
            startShareWait();
            return;
        case State::Idle:
            startShareWait();
            return;
        }
    } catch (...) {
        // A balloon that cannot be shown ends the wait.
        stopShareWait();
    }
}

void CommandDispatcher::startShareWait()
{
    m_state = State::ShareWait;
    m_waitDeadline = QDeadlineTimer(kShareWaitMs, Qt::PreciseTimer);
    m_parts.notifier.notify(m_parts.texts.GetText("GLOBAL", "mCopy30Sec"), kWaitBalloonSeconds,
                            BalloonKind::Information,
                            {{m_parts.texts.GetText("GLOBAL", "bInClipboard"), [this] { hndlCopyNow(); }}},
                            m_parts.texts.GetText("GLOBAL", "mTimeLeft"));
    m_waitSequence = m_desktop.clipboard.sequenceNumber();
    m_waitPoll.start();
}

void CommandDispatcher::hndlCopyNow()
{
    // The wait ends and shares what the clipboard holds now, changed or not.
    if (m_state != State::ShareWait)
        return;
    stopShareWait();
    RunCommand(TCommand::cmdShareClipboard);
}

void CommandDispatcher::pollShareWait()
{
    if (m_state != State::ShareWait) {
        m_waitPoll.stop();
        return;
    }
    const bool changed = m_desktop.clipboard.sequenceNumber() != m_waitSequence;
    if (!changed && !m_waitDeadline.hasExpired())
        return;
    stopShareWait();
    if (changed) {
        RunCommand(TCommand::cmdShareClipboard); // reports its own errors
        return;
    }
    try {
        m_parts.notifier.notify(m_parts.texts.GetText("GLOBAL", "mNoDataCopied"), kWaitBalloonSeconds,
                                BalloonKind::Information);
    } catch (...) {
        // Runs from a timer: nothing may leave it.
    }
}

void CommandDispatcher::stopShareWait()
{
    m_waitPoll.stop();
    if (m_state == State::ShareWait)
        m_state = State::Idle;
}

} // namespace tern
