#include "platform/wayland/PortalGlobalShortcuts.h"

#include "platform/wayland/PortalShortcut.h"
#include "platform/wayland/SessionKeyBindings.h"
#include "platform/wayland/ShortcutTrigger.h"
#include "util/ProductName.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QList>

namespace tern::platform::wayland {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
const QString kShortcutPrefix = QStringLiteral("hotkey-");

QDBusConnection Bus()
{
    return QDBusConnection::sessionBus();
}

// The path of the request or session the portal makes for `token`: our unique bus name without its
// colon, dots as underscores, then the token.
QString PortalObjectPath(const QString& kind, const QString& token)
{
    QString sender = Bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return kPath + QLatin1Char('/') + kind + QLatin1Char('/') + sender + QLatin1Char('/') + token;
}

// The shortcuts of a portal answer (a(sa{sv})): the trigger the desktop describes for each hotkey
// of ours.
std::map<int, std::string> Triggers(const QVariant& value)
{
    std::map<int, std::string> triggers;
    const auto shortcuts = qdbus_cast<QList<PortalShortcut>>(value);
    for (const PortalShortcut& shortcut : shortcuts) {
        if (!shortcut.id.startsWith(kShortcutPrefix))
            continue;
        bool number = false;
        const int id = shortcut.id.mid(kShortcutPrefix.size()).toInt(&number);
        if (number)
            triggers[id] =
                shortcut.options.value(QStringLiteral("trigger_description")).toString().toStdString();
    }
    return triggers;
}

} // namespace

PortalGlobalShortcuts::PortalGlobalShortcuts()
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    // Newer portals learn a program's identity, which the desktop files its shortcuts under, from
    // this call before any other; older ones do not know it, which changes nothing.
    QDBusMessage identify = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    identify << QString::fromUtf8(kDesktopId) << QVariantMap();
    Bus().asyncCall(identify, kCallTimeoutMs);
    Bus().connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusMessage)));
    Bus().connect(kService, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(onShortcutsChanged(QDBusMessage)));
}

PortalGlobalShortcuts::~PortalGlobalShortcuts()
{
    dropRequest();
    closeSession();
    Bus().disconnect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                     SLOT(onActivated(QDBusMessage)));
    Bus().disconnect(kService, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                     SLOT(onShortcutsChanged(QDBusMessage)));
}

QString PortalGlobalShortcuts::shortcutName(int id)
{
    return kShortcutPrefix + QString::number(id);
}

void PortalGlobalShortcuts::setDescription(int id, const std::string& text)
{
    m_hotkeys[id].description = text;
}

bool PortalGlobalShortcuts::registerHotkey(int id, std::uint16_t shortcut)
{
    Hotkey& hotkey = m_hotkeys[id];
    hotkey.shortcut = shortcut;
    hotkey.active = true;
    if (m_state == State::Unavailable) {
        // No portal with global shortcuts here: no combination can be had.
        hotkey.active = false;
        return false;
    }
    const auto sent = m_sent.find(id);
    if (m_state != State::Idle && sent != m_sent.end() && sent->second == shortcut) {
        // The desktop has it, or is deciding: asking again would only ask the user again.
        if (m_state != State::Refused)
            return true;
        hotkey.active = false;
        return false;
    }
    bindAll();
    return true;
}

void PortalGlobalShortcuts::unregisterHotkey(int id)
{
    if (const auto found = m_hotkeys.find(id); found != m_hotkeys.end())
        found->second.active = false;
}

std::string PortalGlobalShortcuts::unavailableReason() const
{
    if (m_state == State::Unavailable)
        return SessionKeyBindings().unavailableReason();
    if (m_state != State::Refused)
        return {};
    return "The desktop did not bind the hotkey, so it is not active. Bind it in the desktop's keyboard "
           "settings to the command: tern-clipboard --menu";
}

void PortalGlobalShortcuts::bindAll()
{
    dropRequest();
    closeSession();
    m_sent.clear();
    for (const auto& [id, hotkey] : m_hotkeys)
        m_sent[id] = hotkey.shortcut;
    m_state = State::Asking;
    const QString token = QStringLiteral("tern_session%1").arg(++m_tokens);
    request(QStringLiteral("CreateSession"), {}, {{QStringLiteral("session_handle_token"), token}},
            [this](uint response, const QVariantMap& results) {
                // A handle as a string, as the portal documents it, or as an object path.
                const QVariant handle = results.value(QStringLiteral("session_handle"));
                const QString session = handle.userType() == qMetaTypeId<QDBusObjectPath>()
                                            ? handle.value<QDBusObjectPath>().path()
                                            : handle.toString();
                if (response != 0 || session.isEmpty()) {
                    m_state = State::Refused;
                    settle(false, {});
                    return;
                }
                bindInSession(session);
            });
}

void PortalGlobalShortcuts::bindInSession(const QString& session)
{
    m_session = session;
    Bus().connect(kService, m_session, kSession, QStringLiteral("Closed"), this,
                  SLOT(onSessionClosed(QDBusMessage)));
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, shortcut] : m_sent) {
        QVariantMap options{
            {QStringLiteral("description"), QString::fromStdString(m_hotkeys[id].description)}};
        if (const std::string trigger = ShortcutTrigger(shortcut); !trigger.empty())
            options.insert(QStringLiteral("preferred_trigger"), QString::fromStdString(trigger));
        shortcuts.append({shortcutName(id), options});
    }
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(session)), QVariant::fromValue(shortcuts), QString()}, {},
            [this](uint response, const QVariantMap& results) {
                if (response != 0) {
                    closeSession();
                    m_state = State::Refused;
                    settle(false, {});
                    return;
                }
                m_state = State::Bound;
                settle(true, Triggers(results.value(QStringLiteral("shortcuts"))));
            });
}

void PortalGlobalShortcuts::request(const QString& method, QVariantList arguments, QVariantMap options,
                                    std::function<void(uint, const QVariantMap&)> then)
{
    // The answer comes as a signal of the request object, which may come before the call's own reply:
    // we listen at its path first.
    const QString token = QStringLiteral("tern%1").arg(++m_tokens);
    options.insert(QStringLiteral("handle_token"), token);
    m_requestPath = PortalObjectPath(QStringLiteral("request"), token);
    m_then = std::move(then);
    Bus().connect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this,
                  SLOT(onResponse(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call, kCallTimeoutMs), this);
    const QString expected = m_requestPath;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, expected] {
        watcher->deleteLater();
        if (m_requestPath != expected)
            return; // given up since
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            // No portal, or one without global shortcuts (it does not know the call): the session
            // gives no program a key, as where there is no portal at all.
            dropRequest();
            closeSession();
            m_state = State::Unavailable;
            settle(false, {});
            return;
        }
        // A portal that names the request otherwise answers there.
        if (const QString path = reply.value().path(); path != m_requestPath) {
            auto waiting = std::move(m_then);
            dropRequest();
            m_requestPath = path;
            m_then = std::move(waiting);
            Bus().connect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this,
                          SLOT(onResponse(QDBusMessage)));
        }
    });
}

void PortalGlobalShortcuts::dropRequest()
{
    if (m_requestPath.isEmpty())
        return;
    Bus().disconnect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this,
                     SLOT(onResponse(QDBusMessage)));
    m_requestPath.clear();
    m_then = nullptr;
}

void PortalGlobalShortcuts::closeSession()
{
    if (m_session.isEmpty())
        return;
    Bus().disconnect(kService, m_session, kSession, QStringLiteral("Closed"), this,
                     SLOT(onSessionClosed(QDBusMessage)));
    Bus().asyncCall(QDBusMessage::createMethodCall(kService, m_session, kSession, QStringLiteral("Close")));
    m_session.clear();
}

void PortalGlobalShortcuts::settle(bool bound, const std::map<int, std::string>& triggers)
{
    if (!m_settled)
        return;
    for (const auto& sent : m_sent) {
        const auto trigger = triggers.find(sent.first);
        m_settled(sent.first, bound, trigger == triggers.end() ? std::string() : trigger->second);
    }
}

void PortalGlobalShortcuts::onResponse(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (message.path() != m_requestPath || arguments.size() < 2)
        return;
    auto then = std::move(m_then);
    dropRequest();
    if (then)
        then(arguments.at(0).toUInt(), qdbus_cast<QVariantMap>(arguments.at(1)));
}

void PortalGlobalShortcuts::onActivated(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_state != State::Bound || arguments.size() < 2 ||
        arguments.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    for (const auto& [id, hotkey] : m_hotkeys) {
        if (hotkey.active && arguments.at(1).toString() == shortcutName(id) && m_handler)
            m_handler(id);
    }
}

void PortalGlobalShortcuts::onShortcutsChanged(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_state != State::Bound || arguments.size() < 2 ||
        arguments.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    settle(true, Triggers(arguments.at(1)));
}

void PortalGlobalShortcuts::onSessionClosed(const QDBusMessage& message)
{
    if (message.path() != m_session)
        return;
    // The desktop ended the session: its keys no longer reach us.
    Bus().disconnect(kService, m_session, kSession, QStringLiteral("Closed"), this,
                     SLOT(onSessionClosed(QDBusMessage)));
    m_session.clear();
    dropRequest();
    m_state = State::Refused;
    settle(false, {});
}

} // namespace tern::platform::wayland
