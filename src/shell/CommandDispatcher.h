#pragma once

#include "notify/Notifier.h"
#include "platform/Clipboard.h"
#include "platform/KeyInjector.h"
#include "platform/WindowFocus.h"
#include "shell/CommandRun.h"
#include "shell/TCommand.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace tern {

class TrayView;

// Runs the capture and transfer commands: the capture delay from the Shift key, the question about
// a left-over capture, the window in front, the command itself (a CommandRun), and one error balloon
// for any failure; and the Share Clipboard wait. Nothing here waits: the wait and the runs are driven
// by timers and worker signals, and state() says what runs. One command at a time; menus, balloon
// buttons and the hotkey stay usable throughout. GUI thread only.
class CommandDispatcher : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle,
        ShareWait, // the Share Clipboard wait: the user copies what is to be shared
        Running,   // a command runs
        Ended      // the program is ending: nothing starts any more
    };

    struct Desktop
    {
        platform::SystemClipboard& clipboard;
        platform::KeyInjector& keys;
        platform::WindowFocus& focus;
    };

    // `connectionProblemText` gives the text of an error that is not of the plain kind.
    CommandDispatcher(CommandParts parts, Desktop desktop, TrayView& tray,
                      std::function<std::string()> connectionProblemText);
    ~CommandDispatcher() override;

    // Starts one command; never lets an error escape. A command chosen while another one runs is
    // refused with an information balloon; one chosen during the Share Clipboard wait ends the wait.
    void RunCommand(TCommand command);

    // Starts the wait of up to 30 seconds for the clipboard to change, after which the clipboard is
    // shared. Chosen during the wait, it starts the wait afresh; refused like a command while one runs.
    void WaitAndShareClipboard();

    // Balloon buttons.
    void hndlCopyNow();
    void hndlContinueSnap();
    void hndlRetrySnap();

    State state() const noexcept { return m_state; }
    // True while the Share Clipboard wait runs.
    bool waitRunning() const noexcept { return m_state == State::ShareWait; }
    // The command that runs; nullptr when none does.
    const CommandRun* currentRun() const noexcept { return m_run.get(); }

    // The program is ending: the wait or the command that runs ends at once without a further balloon,
    // every exchange with the service is aborted, and nothing starts any more.
    void Terminate();

    // The text an error shows: a plain error's own message, otherwise the connection-problem text and
    // the error's type name in parentheses.
    static std::string errorText(const std::string& connectionProblemText, const std::exception& error);

    static constexpr int kShareWaitMs = 30000;
    static constexpr int kShareWaitPollMs = 200;

private:
    void startCommand(TCommand command);
    void onRunEnded(const std::exception_ptr& error);
    void reportFailure(const std::exception_ptr& error);
    // The balloon of a command chosen while another one runs.
    void refuseWhileBusy();
    void startShareWait();
    void pollShareWait();
    // Ends the wait without sharing (another command was chosen, or the program ends).
    void stopShareWait();

    CommandParts m_parts;
    Desktop m_desktop;
    TrayView& m_tray;
    std::function<std::string()> m_connectionProblemText;
    State m_state = State::Idle;
    TCommand m_pendingCommand = TCommand::cmdRemoteCopy;
    std::unique_ptr<CommandRun> m_run;
    // A run that has ended, freed from the event loop rather than from inside its own report.
    std::unique_ptr<CommandRun> m_endedRun;
    // The Share Clipboard wait: its poll, its deadline and the clipboard's counter at its start.
    QTimer m_waitPoll;
    QDeadlineTimer m_waitDeadline;
    std::uint64_t m_waitSequence = 0;
};

} // namespace tern
