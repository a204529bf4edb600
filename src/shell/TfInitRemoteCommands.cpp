#include "shell/TfInit.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include <optional>

namespace tern {

namespace {

using platform::RemoteCommand;
using platform::RemoteCommandAnswer;

// The action a remote command runs; nothing for the menu and for values no command has.
std::optional<ActionId> CommandAction(std::int64_t command)
{
    switch (static_cast<RemoteCommand>(command)) {
    case RemoteCommand::RemoteCopy:
        return ActionId::Copy;
    case RemoteCommand::RemotePaste:
        return ActionId::Paste;
    case RemoteCommand::ShareClipboard:
        return ActionId::Web;
    case RemoteCommand::ShareScreen:
        return ActionId::ShareScr;
    case RemoteCommand::ShareWindow:
        return ActionId::ShareCurWin;
    case RemoteCommand::ShareArea:
        return ActionId::ShareArea;
    case RemoteCommand::Menu:
        break;
    }
    return std::nullopt;
}

} // namespace

RemoteCommandAnswer TfInit::RunRemoteCommand(std::int64_t command)
{
    const bool menu = command == static_cast<std::int64_t>(RemoteCommand::Menu);
    const std::optional<ActionId> id = CommandAction(command);
    if (!menu && !id)
        return RemoteCommandAnswer::Unknown;
    if (!m_ready || m_ending || inDialogState())
        return RemoteCommandAnswer::Busy;
    if (menu) {
        hotkeyPressed(kMainHotkeyId);
        return RemoteCommandAnswer::Taken;
    }
    // The settings may have changed since the menu last opened (Remote Copy switched off, say).
    m_loader.conf().Refresh();
    UpdateActions();
    QAction* chosen = action(*id);
    if (!chosen->isVisible() || !chosen->isEnabled())
        return RemoteCommandAnswer::SwitchedOff;
    // The window in front now is the one the command works on, as after a hotkey press.
    m_prevForeground = m_services.focus.foregroundWindow();
    m_notifier.hideNotice();
    // The sender has its answer before the command starts.
    QTimer::singleShot(0, this, [this, chosen] {
        if (!m_ending && !inDialogState())
            chosen->trigger();
    });
    return RemoteCommandAnswer::Taken;
}

} // namespace tern
