#include "shell/TfInit.h"

#include "lang/TextKeys.h"
#include "notify/Balloon.h"
#include "platform/RunningCopy.h"
#include "platform/ShellRoutines.h"
#include "service/ServiceProtocol.h"
#include "shell/CommandDispatcher.h"
#include "shell/TrayIcons.h"
#include "shell/UpdateReports.h"
#include "util/ProductName.h"
#include "util/ShortcutText.h"
#include "util/TextRoutines.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tern {

namespace {

constexpr int kAnimationIntervalMs = 400;

struct ActionEntry
{
    const char* name;
    const char* builtInCaption;
    int icon; // -1: none
};

// Every action of the program with its designed caption; the language file replaces the captions.
constexpr ActionEntry kActions[] = {
    {"_aCopy", "Remote &Copy", 1},
    {"_aPaste", "Remote &Paste", 2},
    {"_aWeb", "&Share Clipboard", 3},
    {"_aShareScr", "Share Scr&een", 4},
    {"_aShareCurWin", "S&hare Current Window", 5},
    {"_aShareArea", "&Annotate && Share Area...", 6},
    {"_aLastLink", "_aLastLink", -1},
    {"_aHistory", "_aHistory", -1},
    {"_aLogin", "Login...", -1},
    {"_aSettings", "Settings...", -1},
    {"_aCheckUpd", "_aCheckUpd", -1},
    {"_aAbout", "About", -1},
    {"_aHelp", "_aHelp", -1},
    {"_aExit", "Exit", -1},
};

} // namespace

TfInit::TfInit(ShellServices& services, ProgramFolders folders) : m_services(services)
{
    setObjectName("fInit");
    setWindowTitle(platform::kMainWindowTitle);

    m_trayFrames = TrayIcons::trayFrames();
    createActions();
    createMenus();
    m_tray = new QSystemTrayIcon(m_trayFrames.first(), this);
    m_tray->setToolTip(kProductName);
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { onTrayActivated(reason); });
    m_tray->show();
    m_animation = new QTimer(this);
    m_animation->setInterval(kAnimationIntervalMs);
    connect(m_animation, &QTimer::timeout, this, [this] {
        m_animationFrame = (m_animationFrame + 1) % static_cast<int>(m_trayFrames.size());
        m_tray->setIcon(m_trayFrames.at(m_animationFrame));
    });

    m_loader = std::make_unique<TLoader>(services, std::move(folders));
    m_loader->setModalStateListener(this);
    m_loader->setTrayBalloon(this);
    // While an upload runs the tray animates.
    m_dispatcher = std::make_unique<CommandDispatcher>(*m_loader, services, *this);
    connectDialogActions();
    m_services.hotkeys.setHandler([this](int id) { hotkeyPressed(id); });
    // While a dialog is open the toolkit withholds clicks from the tray icon; they arrive here.
    m_services.trayClicks.setHandler([this] {
        if (inDialogState())
            onTrayActivated(QSystemTrayIcon::Trigger);
    });

    // A first start (no account yet) asks for the language before anything is shown in it.
    if (m_loader->conf().Login.empty())
        runLanguageSelection();
    m_loader->TranslateForm(this);
    UpdateActions();
    if (!m_loader->conf().Login.empty() && !m_loader->conf().Password.empty())
        CheckForUpdates(*m_loader, false);
    else
        action("_aLogin")->trigger();
    // Without a tray the toolkit shows the icon as soon as one starts; until then only the hotkey
    // menu reaches the program.
    if (!m_services.tray.available())
        reportNoTray();
    m_ready = true;
    RegisterMainHotkey();
}

TfInit::~TfInit()
{
    UnregisterMainHotkey();
    m_services.hotkeys.setHandler({});
    m_services.trayClicks.setHandler({});
    m_dispatcher.reset();
    m_loader.reset(); // saves the settings
}

void TfInit::createActions()
{
    const QList<QIcon> icons = TrayIcons::menuIcons();
    for (const ActionEntry& entry : kActions) {
        auto* created = new QAction(QString::fromUtf8(entry.builtInCaption), this);
        created->setObjectName(entry.name);
        if (entry.icon >= 0)
            created->setIcon(icons.at(entry.icon));
        m_actions.insert(entry.name, created);
    }
    // The hint of the Share Clipboard item, which only the hotkey menu shows.
    action("_aWeb")->setToolTip(QStringLiteral("Hold shift to make delayed capture"));

    connect(action("_aCopy"), &QAction::triggered, this,
            [this] { m_dispatcher->RunCommand(TCommand::cmdRemoteCopy); });
    connect(action("_aPaste"), &QAction::triggered, this,
            [this] { m_dispatcher->RunCommand(TCommand::cmdRemotePaste); });
    connect(action("_aShareScr"), &QAction::triggered, this,
            [this] { m_dispatcher->RunCommand(TCommand::cmdShareScreen); });
    connect(action("_aShareCurWin"), &QAction::triggered, this,
            [this] { m_dispatcher->RunCommand(TCommand::cmdShareWindow); });
    connect(action("_aShareArea"), &QAction::triggered, this,
            [this] { m_dispatcher->RunCommand(TCommand::cmdShareArea); });
    connect(action("_aHistory"), &QAction::triggered, this, [this] { openAddress(m_loader->HistoryUrl()); });
    connect(action("_aLastLink"), &QAction::triggered, this, [this] { openAddress(m_loader->LastLink); });
    connect(action("_aHelp"), &QAction::triggered, this, [this] {
        std::string host = m_loader->conf().ServiceHost;
        while (!host.empty() && host.back() == '/')
            host.pop_back();
        openAddress(host + "/help/");
    });
    connect(action("_aWeb"), &QAction::triggered, this, [this] { m_dispatcher->WaitAndShareClipboard(); });
    connect(action("_aExit"), &QAction::triggered, this, [this] { emit quitRequested(); });
}

void TfInit::createMenus()
{
    const auto addTitle = [](QMenu* menu) {
        auto* title = menu->addAction(kProductName);
        title->setObjectName("title");
        menu->setDefaultAction(title); // drawn bold; choosing it does nothing
    };
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName("trayMenu");
    addTitle(m_trayMenu);
    m_trayMenu->addSeparator();
    for (const char* name : {"_aWeb", "_aShareScr", "_aShareArea"})
        m_trayMenu->addAction(action(name));
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(action("_aLastLink"));
    m_trayMenu->addAction(action("_aHistory"));
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(action("_aLogin"));
    m_trayMenu->addAction(action("_aSettings"));
    m_trayMenu->addSeparator();
    for (const char* name : {"_aCheckUpd", "_aAbout", "_aExit"})
        m_trayMenu->addAction(action(name));

    m_hotkeyMenu = new QMenu(this);
    m_hotkeyMenu->setObjectName("pMain");
    m_hotkeyMenu->setToolTipsVisible(true);
    addTitle(m_hotkeyMenu);
    m_hotkeyMenu->addSeparator();
    m_hotkeyMenu->addAction(action("_aCopy"));
    m_hotkeyMenu->addAction(action("_aPaste"));
    m_hotkeyMenu->addSeparator();
    for (const char* name : {"_aWeb", "_aShareScr", "_aShareCurWin", "_aShareArea"})
        m_hotkeyMenu->addAction(action(name));
    m_hotkeyMenu->addSeparator();
    m_hotkeyMenu->addAction(action("_aLastLink"));
    m_hotkeyMenu->addAction(action("_aHistory"));
    m_hotkeyMenu->addSeparator();
    m_hotkeyMenu->addAction(action("_aLogin"));
    m_hotkeyMenu->addAction(action("_aSettings"));
    m_hotkeyMenu->addSeparator();
    for (const char* name : {"_aCheckUpd", "_aAbout", "_aExit"})
        m_hotkeyMenu->addAction(action(name));

    for (QMenu* menu : {m_trayMenu, m_hotkeyMenu}) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            // Settings changed from outside (the service address, say) count for every command
            // chosen from this menu.
            if (m_loader)
                m_loader->conf().Refresh();
            UpdateActions();
            HideBalloon();
        });
    }
}

void TfInit::UpdateActions()
{
    const bool remote = !m_loader || !m_loader->conf().DisableRemote;
    action("_aCopy")->setVisible(remote);
    action("_aPaste")->setVisible(remote);
    action("_aLastLink")->setEnabled(m_loader && !m_loader->LastLink.empty());
}

void TfInit::RegisterMainHotkey()
{
    if (!m_ready)
        return;
    if (m_services.hotkeys.registerHotkey(kMainHotkeyId, m_loader->conf().MainKey))
        return;
    TBalloon& balloon = GetBalloon();
    balloon.SetButton1Caption(QString::fromStdString(TextOf(*m_loader, text::kChangeHotkeyButton)));
    balloon.SetButton1Click([this] { hndlWrongHotkey(); });
    showTrayBalloon(balloon, TextOf(*m_loader, text::kHotkeyBusy), 20, BalloonKind::Error);
}

void TfInit::reportNoTray()
{
    const ModalScope modal(*m_loader);
    const std::string text =
        SubstituteArgument(TextOf(*m_loader, text::kNoTray), ShortcutText(m_loader->conf().MainKey));
    m_services.messageBoxes.show(text, kProductName, platform::MessageIcon::Warning,
                                 platform::MessageButtons::Ok);
}

void TfInit::UnregisterMainHotkey()
{
    if (m_ready)
        m_services.hotkeys.unregisterHotkey(kMainHotkeyId);
}

void TfInit::hndlWrongHotkey()
{
    action("_aSettings")->trigger();
}

void TfInit::hotkeyPressed(int id)
{
    m_prevForeground = m_services.focus.foregroundWindow();
    if (id != kMainHotkeyId || inDialogState())
        return;
    QCoreApplication::processEvents();
    m_hotkeyMenu->popup(QCursor::pos());
}

void TfInit::onTrayActivated(int reason)
{
    if (reason != QSystemTrayIcon::Trigger)
        return;
    if (inDialogState()) {
        // A click brings the open dialog to the front.
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->raise();
            dialog->activateWindow();
        }
        return;
    }
    HideBalloon();
    // A left click opens the tray menu as a right click does.
    m_trayMenu->popup(QCursor::pos());
}

void TfInit::EnterModalState()
{
    HideBalloon();
    UnregisterMainHotkey();
    m_tray->setContextMenu(nullptr);
    UpdateActions();
}

void TfInit::LeaveModalState()
{
    RegisterMainHotkey();
    m_tray->setContextMenu(m_trayMenu);
    UpdateActions();
}

QRect TfInit::trayIconRect() const
{
    return m_tray ? m_tray->geometry() : QRect();
}

bool TfInit::trayIconPending() const
{
    return m_services.tray.iconPending();
}

void TfInit::beginUploadIndicator()
{
    m_savedHint = m_tray->toolTip();
    m_tray->setToolTip(QString::fromStdString(TextOf(*m_loader, text::kUploading)));
    m_animationFrame = 0;
    m_animation->start();
}

void TfInit::endUploadIndicator()
{
    m_animation->stop();
    m_animationFrame = 0;
    m_tray->setIcon(m_trayFrames.first());
    m_tray->setToolTip(m_savedHint);
}

void TfInit::openAddress(const std::string& address)
{
    OpenTarget(m_services.shell, &m_services.messageBoxes, address, true);
}

} // namespace tern
