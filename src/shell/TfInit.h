#pragma once

#include "shell/Loader.h"
#include "shell/ShellServices.h"

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
class TfInit : public QWidget, public ModalStateListener
{
    Q_OBJECT

public:
    static constexpr int kMainHotkeyId = 1;

    TfInit(ShellServices& services, ProgramFolders folders);
    ~TfInit() override;

    TLoader& Loader() noexcept { return *m_loader; }
    QSystemTrayIcon& TrayIcon() noexcept { return *m_tray; }
    QAction* Action(const QString& name) const { return m_actions.value(name); }
    QMenu* TrayMenu() const noexcept { return m_trayMenu; }
    QMenu* HotkeyMenu() const noexcept { return m_hotkeyMenu; }
    CommandDispatcher& Dispatcher() noexcept { return *m_dispatcher; }

    void RegisterMainHotkey();
    void UnregisterMainHotkey();
    void UpdateActions();
    void EnterModalState() override;
    void LeaveModalState() override;

    // Shows the one balloon at the tray icon with the title "Tern Clipboard".
    void ShowTrayBalloon(const std::string& text, int seconds, int kind);
    // Tray animation and hint while an upload runs.
    void BeginUploadIndicator();
    void EndUploadIndicator();

    // The window that was in front when the hotkey was last pressed.
    platform::WindowHandle PrevForeground() const noexcept { return m_prevForeground; }

    // Opens the hotkey menu at the mouse cursor, as a hotkey press does.
    void HotkeyPressed(int id);

    // The dialogs the actions open; each is modal and ends before the call returns.
    void RunLoginDialog();
    void RunSettingsDialog();
    void RunAboutDialog();
    bool RunLanguageSelection();
    void RunLanguageEditor();

signals:
    // Emitted when the program should end (Exit, the remote quit message, the end of the session).
    void quitRequested();

private:
    void createActions();
    void connectDialogActions();
    void createMenus();
    void onTrayActivated(int reason);
    void hndlWrongHotkey();
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
