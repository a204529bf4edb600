#pragma once

#include "shell/ShellServices.h"

#include <exception>
#include <string>

namespace tern {

class CommandOperations;
class TrayView;

// The capture and transfer commands of the tray.
enum class TCommand {
    cmdRemoteCopy,
    cmdRemotePaste,
    cmdShareClipboard,
    cmdShareScreen,
    cmdShareWindow,
    cmdShareArea,
    cmdReshareSnapshot
};

// Runs the capture and transfer commands: the capture delay from the Shift key, the question about
// a left-over capture, the window in front, the operation, and one error balloon for any failure.
// GUI thread only; the waits here process window messages, so commands can re-enter. It installs
// the tray's upload indicator as the operations' upload wait hooks.
class CommandDispatcher
{
public:
    CommandDispatcher(CommandOperations& operations, ShellServices& services, TrayView& tray);

    // Runs one command; never lets an error escape. A command chosen while another one is still
    // running is refused with an information balloon.
    void RunCommand(TCommand command);

    // Waits up to 30 seconds for the clipboard to change, then shares it. Refused like a command while
    // another command runs.
    void WaitAndShareClipboard();

    // Balloon buttons.
    void hndlCopyNow() { m_copyNow = true; }
    void hndlContinueSnap();
    void hndlRetrySnap();

    // True while the Share Clipboard wait runs.
    bool waitRunning() const noexcept { return m_waitRunning; }

    // Ends every wait at its next pass without a further balloon (the program is ending).
    void Terminate();

    // The text an error shows: a plain error's own message, otherwise the connection-problem text and
    // the error's type name in parentheses.
    static std::string errorText(const std::string& connectionProblemText, const std::exception& error);

private:
    // Runs the operation of `command`; the screen, window and area shares take `delaySeconds`.
    void runOperation(TCommand command, int delaySeconds);
    // The steps of RunCommand; errors leave it.
    void runCommand(TCommand command);
    void reportFailure(const std::string& text);
    // The balloon of a command chosen while another one runs.
    void refuseWhileBusy();

    CommandOperations& m_operations;
    ShellServices& m_services;
    TrayView& m_tray;
    TCommand m_pendingCommand = TCommand::cmdRemoteCopy;
    bool m_busy = false;
    bool m_waitRunning = false;
    bool m_copyNow = false;
    bool m_restartWait = false;
    bool m_abandonWait = false;
    bool m_terminating = false;
};

} // namespace tern
