#pragma once

#include "notify/Notifier.h"
#include "platform/RunningCopy.h"
#include "shell/CommandRun.h"
#include "shell/Loader.h"
#include "shell/ShellServices.h"
#include "shell/TrayActions.h"
#include "shell/TrayView.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace tern {

class CommandDispatcher;

// The program's hidden main form: the tray icon with its two menus, the fifteen actions, the global
// hotkey and the switch between the normal state and the state while a dialog is open. Never shown.
// It is built first and started (Start) from the event loop, so the dialogs of a first start run
// inside the program's own loop, not inside the form's construction.
class TfInit : public QWidget, public ModalStateListener, public TrayView
{
    Q_OBJECT

public:
    static constexpr int kMainHotkeyId = 1;

    // `parts` are the services the commands use; `notifier` shows the form's own notices. All of
    // them, and `loader`, outlive the form.
    TfInit(ShellServices& services, TLoader& loader, CommandParts parts, Notifier& notifier);
    ~TfInit() override;

    // The start-up sequence: the language choice on a first start, the translation, then the update
    // check or the account dialog, and last the hotkey. Call once, from the event loop.
    void Start();
    // True once Start has ended.
    bool started() const noexcept { return m_ready; }
    // Says once, after Start, what the session does not let the program do (`sessionLimits`, one
    // sentence a line) and, where the hotkey is not the program's to take, what to do instead. Where
    // the desktop decides on the hotkey later, its decision is said when it comes, with the limits.
    void ShowStartNotice(std::string sessionLimits);
    // The program is ending: what runs ends without a further notice, and Start does no more.
    void Terminate();

    TLoader& Loader() noexcept { return m_loader; }
    QSystemTrayIcon& trayIcon() noexcept { return *m_tray; }
    QAction* action(ActionId id) const { return m_actions.at(static_cast<std::size_t>(id)); }
    // The action of this object name, or nullptr.
    QAction* action(const QString& objectName) const;
    QMenu* trayMenu() const noexcept { return m_trayMenu; }
    QMenu* hotkeyMenu() const noexcept { return m_hotkeyMenu; }
    CommandDispatcher& dispatcher() noexcept { return *m_dispatcher; }

    void RegisterMainHotkey();
    void UnregisterMainHotkey();
    void UpdateActions();
    void EnterModalState() override;
    void LeaveModalState() override;

    // The tray icon's rectangle on screen (empty while it is not known).
    QRect trayIconRect() const override;
    // Whether the tray has the icon but does not show it yet.
    bool trayIconPending() const override;
    // Tray animation and hint while an upload runs.
    void beginUploadIndicator() override;
    void endUploadIndicator() override;

    // The window that was in front when the hotkey was last pressed.
    platform::WindowHandle prevForeground() const noexcept override { return m_prevForeground; }

    // Opens the hotkey menu at the mouse cursor, as a hotkey press does (from the event loop, once
    // the program's own window has come forward).
    void hotkeyPressed(int id);
    // Another process asks (platform::kCommandMessage) for the hotkey menu or one of its commands:
    // `command` is a platform::RemoteCommand value. What is taken opens or runs from the event loop,
    // as after a hotkey press; refused while starting, in the dialog state, or for a command the
    // settings hide.
    platform::RemoteCommandAnswer RunRemoteCommand(std::int64_t command);

    // The dialogs the actions open; each is modal.
    void runLoginDialog();
    void runSettingsDialog();
    void runEndToEndKeyDialog();
    void runAboutDialog();
    bool runLanguageSelection();
    void runLanguageEditor();

signals:
    // Emitted when the program should end (Exit, the remote quit message, the end of the session).
    void quitRequested();

private:
    void createActions();
    void connectCommandActions();
    void connectDialogActions();
    void createMenus();
    QMenu* createMenu(const char* objectName, MenuBit menu);
    void onTrayActivated(int reason);
    void hndlWrongHotkey();
    // The desktop decided on a hotkey registered earlier (GlobalHotkeys::setSettledHandler).
    void hotkeySettled(int id, bool bound, const std::string& trigger);
    // Tells the user once, at start, that no tray shows the icon and how the menu is reached.
    void reportNoTray();
    // While a dialog is open the hotkey is released and a tray click brings the dialog forward.
    bool inDialogState() const { return m_loader.ModalCount() > 0; }
    void openAddress(const std::string& address);

    ShellServices& m_services;
    TLoader& m_loader;
    CommandParts m_parts;
    Notifier& m_notifier;
    std::unique_ptr<CommandDispatcher> m_dispatcher;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QMenu* m_hotkeyMenu = nullptr;
    std::array<QAction*, kActionTable.size()> m_actions{};
    QList<QIcon> m_trayFrames;
    QTimer* m_animation = nullptr;
    int m_animationFrame = 0;
    QString m_savedHint;
    bool m_ready = false;
    bool m_ending = false;
    // The start notice's limits, said again with the desktop's first decision on the hotkey.
    std::string m_sessionLimits;
    bool m_hotkeyDecided = false;
    platform::WindowHandle m_prevForeground = 0;
};

} // namespace tern
