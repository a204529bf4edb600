#pragma once

#include "shell/Loader.h"
#include "shell/ShellServices.h"
#include "shell/TrayView.h"

#include <QIcon>
#include <QList>
#include <QMap>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace tern {

class CommandDispatcher;

// The program's hidden main form: the tray icon with its two menus, the fourteen actions, the global
// hotkey and the switch between the normal state and the state while a dialog is open. Never shown.
class TfInit : public QWidget, public ModalStateListener, public TrayView
{
    Q_OBJECT

public:
    static constexpr int kMainHotkeyId = 1;

    TfInit(ShellServices& services, ProgramFolders folders);
    ~TfInit() override;

    TLoader& Loader() noexcept { return *m_loader; }
    QSystemTrayIcon& trayIcon() noexcept { return *m_tray; }
    QAction* action(const QString& name) const { return m_actions.value(name); }
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

    // Opens the hotkey menu at the mouse cursor, as a hotkey press does.
    void hotkeyPressed(int id);

    // The dialogs the actions open; each is modal and ends before the call returns.
    void runLoginDialog();
    void runSettingsDialog();
    void runAboutDialog();
    bool runLanguageSelection();
    void runLanguageEditor();

signals:
    // Emitted when the program should end (Exit, the remote quit message, the end of the session).
    void quitRequested();

private:
    void createActions();
    void connectDialogActions();
    void createMenus();
    void onTrayActivated(int reason);
    void hndlWrongHotkey();
    // Tells the user once, at start, that no tray shows the icon and how the menu is reached.
    void reportNoTray();
    // While a dialog is open the hotkey is released and a tray click brings the dialog forward.
    bool inDialogState() const { return m_loader && m_loader->ModalCount() > 0; }
    void openAddress(const std::string& address);

    ShellServices& m_services;
    std::unique_ptr<TLoader> m_loader;
    std::unique_ptr<CommandDispatcher> m_dispatcher;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QMenu* m_hotkeyMenu = nullptr;
    QMap<QString, QAction*> m_actions;
    QList<QIcon> m_trayFrames;
    QTimer* m_animation = nullptr;
    int m_animationFrame = 0;
    QString m_savedHint;
    bool m_ready = false;
    platform::WindowHandle m_prevForeground = 0;
};

} // namespace tern
