#include "shell/TfInit.h"

#include "platform/RunningCopy.h"
#include "platform/ShellRoutines.h"
#include "shell/CommandDispatcher.h"
#include "shell/TrayIcons.h"
#include "shell/UpdateReports.h"
#include "ui/MenuAtPointer.h"
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
constexpr int kHotkeyBusySeconds = 20;
// How long the notice of what the session does not allow shows.
constexpr int kSessionNoticeSeconds = 20;

// The lines that are not empty, one a line.
std::string JoinLines(const std::string& first, const std::string& second)
{
    if (first.empty() || second.empty())
        return first + second;
    return first + "\n" + second;
}

} // namespace

TfInit::TfInit(ShellServices& services, TLoader& loader, CommandParts parts, Notifier& notifier)
    : m_services(services), m_loader(loader), m_parts(parts), m_notifier(notifier)
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

    m_loader.setModalStateListener(this);
    m_dispatcher = std::make_unique<CommandDispatcher>(
        m_parts, CommandDispatcher::Desktop{services.clipboard, services.keys, services.focus}, *this,
        [this] { return m_loader.ConnectionProblemText(); });
    connectCommandActions();
    connectDialogActions();
    m_services.hotkeys.setHandler([this](int id) { hotkeyPressed(id); });
    m_services.hotkeys.setSettledHandler(
        [this](int id, bool bound, const std::string& trigger) { hotkeySettled(id, bound, trigger); });
    // While a dialog is open the toolkit withholds clicks from the tray icon; they arrive here.
    m_services.trayClicks.setHandler([this] {
        if (inDialogState())
            onTrayActivated(QSystemTrayIcon::Trigger);
    });
}

TfInit::~TfInit()
{
    // A command still open (the area selector, say) ends first, without switching the tray back.
    m_loader.setModalStateListener(nullptr);
    m_dispatcher.reset();
    UnregisterMainHotkey();
    m_services.hotkeys.setHandler({});
    m_services.hotkeys.setSettledHandler({});
    m_services.trayClicks.setHandler({});
}

void TfInit::Start()
{
    if (m_ready || m_ending)
        return;
    // Runs from the event loop: an error is shown, never thrown.
    RunReportingErrors(m_loader, [this] {
        // A first start (no account yet) asks for the language before anything is shown in it.
        if (m_loader.conf().Login.empty())
            runLanguageSelection();
        if (m_ending)
            return;
        m_loader.TranslateForm(this);
        UpdateActions();
        if (!m_loader.conf().Login.empty() && !m_loader.conf().Password.empty())
            CheckForUpdates(m_loader, m_notifier, false);
        else
            action(ActionId::Login)->trigger();
    });
    if (m_ending)
        return;
    // Without a tray the toolkit shows the icon as soon as one starts; until then only the hotkey
    // menu reaches the program.
    if (!m_services.tray.available())
        reportNoTray();
    m_ready = true;
    RegisterMainHotkey();
}

void TfInit::ShowStartNotice(std::string sessionLimits)
{
    m_sessionLimits = std::move(sessionLimits);
    const std::string text = JoinLines(m_services.hotkeys.unavailableReason(), m_sessionLimits);
    if (!text.empty())
        m_notifier.notify(text, kSessionNoticeSeconds, BalloonKind::Warning);
}

void TfInit::hotkeySettled(int id, bool bound, const std::string& trigger)
{
    if (id != kMainHotkeyId || m_ending)
        return;
    // Bound: the keys the desktop chose, where it names them; refused: what to do instead.
    std::string text;
    if (!bound)
        text = m_services.hotkeys.unavailableReason();
    else if (!trigger.empty())
        text = SubstituteArgument(m_loader.GetText("FAUTHFORM", "mKeyTip"), trigger);
    const bool first = !m_hotkeyDecided;
    m_hotkeyDecided = true;
    if (text.empty())
        return;
    const bool warn = !bound || (first && !m_sessionLimits.empty());
    m_notifier.notify(first ? JoinLines(text, m_sessionLimits) : text, kSessionNoticeSeconds,
                      warn ? BalloonKind::Warning : BalloonKind::Information);
}

void TfInit::Terminate()
{
    m_ending = true;
    m_dispatcher->Terminate();
}

void TfInit::createActions()
{
    const QList<QIcon> icons = TrayIcons::menuIcons();
    for (const TrayAction& entry : kActionTable) {
        auto* created = new QAction(QString::fromUtf8(entry.builtInCaption), this);
        created->setObjectName(entry.objectName);
        if (entry.icon >= 0)
            created->setIcon(icons.at(entry.icon));
        m_actions.at(static_cast<std::size_t>(entry.id)) = created;
    }
    // The hint of the Share Clipboard item, which only the hotkey menu shows.
    action(ActionId::Web)->setToolTip(QStringLiteral("Hold shift to make delayed capture"));
}

QAction* TfInit::action(const QString& objectName) const
{
    for (QAction* candidate : m_actions) {
        if (candidate->objectName() == objectName)
            return candidate;
    }
    return nullptr;
}

void TfInit::connectCommandActions()
{
    const auto command = [this](ActionId id, TCommand run) {
        connect(action(id), &QAction::triggered, this, [this, run] { m_dispatcher->RunCommand(run); });
    };
    command(ActionId::Copy, TCommand::cmdRemoteCopy);
    command(ActionId::Paste, TCommand::cmdRemotePaste);
    command(ActionId::ShareScr, TCommand::cmdShareScreen);
    command(ActionId::ShareCurWin, TCommand::cmdShareWindow);
    command(ActionId::ShareArea, TCommand::cmdShareArea);
    connect(action(ActionId::Web), &QAction::triggered, this,
            [this] { m_dispatcher->WaitAndShareClipboard(); });
    connect(action(ActionId::History), &QAction::triggered, this,
            [this] { openAddress(m_loader.HistoryUrl()); });
    connect(action(ActionId::LastLink), &QAction::triggered, this,
            [this] { openAddress(m_parts.shares.LastLink()); });
    connect(action(ActionId::Help), &QAction::triggered, this, [this] {
        std::string host = m_loader.conf().ServiceHost;
        while (!host.empty() && host.back() == '/')
            host.pop_back();
        openAddress(host + "/help/");
    });
    connect(action(ActionId::Exit), &QAction::triggered, this, [this] { emit quitRequested(); });
}

QMenu* TfInit::createMenu(const char* objectName, MenuBit menu)
{
    auto* created = new QMenu(this);
    created->setObjectName(objectName);
    auto* title = created->addAction(kProductName);
    title->setObjectName("title");
    created->setDefaultAction(title); // drawn bold; choosing it does nothing
    created->addSeparator();
    int group = -1;
    for (const TrayAction& entry : kActionTable) {
        if ((entry.menus & menu) == 0)
            continue;
        if (group >= 0 && entry.group != group)
            created->addSeparator();
        group = entry.group;
        created->addAction(action(entry.id));
    }
    connect(created, &QMenu::aboutToShow, this, [this] {
        // Settings changed from outside (the service address, say) count for every command chosen
        // from this menu.
        m_loader.conf().Refresh();
        UpdateActions();
        m_notifier.hideNotice();
    });
    return created;
}

void TfInit::createMenus()
{
    m_trayMenu = createMenu("trayMenu", kTrayMenu);
    m_hotkeyMenu = createMenu("pMain", kHotkeyMenu);
    m_hotkeyMenu->setToolTipsVisible(true);
}

void TfInit::UpdateActions()
{
    const bool remote = !m_loader.conf().DisableRemote;
    action(ActionId::Copy)->setVisible(remote);
    action(ActionId::Paste)->setVisible(remote);
    action(ActionId::LastLink)->setEnabled(!m_parts.shares.LastLink().empty());
}

void TfInit::RegisterMainHotkey()
{
    if (!m_ready)
        return;
    // The desktop may show what the key is for: the settings' name for it, without its colon.
    std::string description = m_loader.GetText("fSettings", "lHotkey");
    while (!description.empty() && (description.back() == ':' || description.back() == ' '))
        description.pop_back();
    m_services.hotkeys.setDescription(kMainHotkeyId, description);
    if (m_services.hotkeys.registerHotkey(kMainHotkeyId, m_loader.conf().MainKey))
        return;
    // Where no program may have a hotkey, nobody holds the combination: the start told the user what
    // to do instead.
    if (!m_services.hotkeys.unavailableReason().empty())
        return;
    m_notifier.notify(m_loader.GetText("GLOBAL", "mHotkeyBusy"), kHotkeyBusySeconds, BalloonKind::Error,
                      {{m_loader.GetText("GLOBAL", "bChangeHotkey"), [this] { hndlWrongHotkey(); }}});
}

void TfInit::reportNoTray()
{
    const ModalScope modal(m_loader);
    const std::string text =
        SubstituteArgument(m_loader.GetText("GLOBAL", "mNoTray"), ShortcutText(m_loader.conf().MainKey));
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
    action(ActionId::Settings)->trigger();
}

void TfInit::hotkeyPressed(int id)
{
    m_prevForeground = m_services.focus.foregroundWindow();
    if (id != kMainHotkeyId || inDialogState())
        return;
    // The menu opens once the events already queued (the window coming forward) have been served.
    const QPoint at = QCursor::pos();
    QTimer::singleShot(0, this, [this, at] {
        if (!inDialogState())
            ui::OpenMenuAtPointer(*m_hotkeyMenu, at);
    });
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
    m_notifier.hideNotice();
    // A left click opens the tray menu as a right click does.
    m_trayMenu->popup(QCursor::pos());
}

void TfInit::EnterModalState()
{
    m_notifier.hideNotice();
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
    m_tray->setToolTip(QString::fromStdString(m_loader.GetText("GLOBAL", "mUploading")));
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
