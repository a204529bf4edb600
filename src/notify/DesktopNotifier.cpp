#include "notify/DesktopNotifier.h"

#include "util/ProductName.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDateTime>
#include <QTimer>
#include <QVariantMap>

#include <algorithm>

namespace tern {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// The icon names of the desktop's icon theme for the three kinds.
QString IconName(BalloonKind kind)
{
    switch (kind) {
    case BalloonKind::Error:
        return QStringLiteral("dialog-error");
    case BalloonKind::Warning:
        return QStringLiteral("dialog-warning");
    case BalloonKind::Information:
        break;
    }
    return QStringLiteral("dialog-information");
}

// The notification body may hold markup: the text is shown as it is.
QString PlainBody(const QString& text)
{
    return text.toHtmlEscaped();
}

// A caption without its shortcut marks ("&&" stays one "&").
QString WithoutShortcutMark(const std::string& caption)
{
    QString plain;
    const QString text = QString::fromStdString(caption);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain += text.at(i);
    }
    return plain;
}

qint64 NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

bool DesktopNotifier::available()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr && bus.interface()->isServiceRegistered(kService);
}

DesktopNotifier::DesktopNotifier(Notifier& fallback)
    : m_fallback(fallback),
      m_service(std::make_unique<QDBusInterface>(kService, kPath, kService, QDBusConnection::sessionBus()))
{
    m_service->setTimeout(kCallTimeoutMs);
    QDBusConnection::sessionBus().connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                                          SLOT(onActionInvoked(uint, QString)));
    QDBusConnection::sessionBus().connect(kService, kPath, kService, QStringLiteral("NotificationClosed"),
                                          this, SLOT(onClosed(uint, uint)));
    m_countdown = new QTimer(this);
    m_countdown->setInterval(1000);
    connect(m_countdown, &QTimer::timeout, this, [this] {
        if (NowMs() >= m_hideAtMs)
            m_countdown->stop();
        else if (m_id != 0)
            send(false); // the notice with its new line; a second before the first answer is skipped
    });
}

DesktopNotifier::~DesktopNotifier()
{
    hideNotice();
}

void DesktopNotifier::notify(const std::string& text, int seconds, BalloonKind kind,
                             std::vector<NoticeButton> buttons, const std::string& timeLeftFormat)
{
    m_countdown->stop();
    ++m_generation;
    m_text = QString::fromStdString(text);
    m_kind = kind;
    m_timeLeftFormat = QString::fromStdString(timeLeftFormat);
    m_hideAtMs = NowMs() + std::max(seconds, 0) * qint64{1000};
    m_buttonCount = std::min(buttons.size(), m_buttons.size());
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons.at(i) = i < m_buttonCount ? std::move(buttons.at(i)) : NoticeButton{};
    send(true);
    if (!m_timeLeftFormat.isEmpty() && seconds > 0)
        m_countdown->start();
}

void DesktopNotifier::showAsBalloon()
{
    m_countdown->stop();
    std::vector<NoticeButton> kept(m_buttons.begin(), m_buttons.begin() + static_cast<long>(m_buttonCount));
    m_buttonCount = 0;
    m_buttons = {};
    const qint64 leftMs = std::max<qint64>(0, m_hideAtMs - NowMs());
    m_fallback.notify(m_text.toStdString(), static_cast<int>((leftMs + 999) / 1000), m_kind, std::move(kept),
                      m_timeLeftFormat.toStdString());
}

void DesktopNotifier::send(bool first)
{
    const qint64 leftMs = std::max<qint64>(0, m_hideAtMs - NowMs());
    QString body = PlainBody(m_text);
    if (!m_timeLeftFormat.isEmpty() && leftMs > 0) {
        const QString line =
            QString(m_timeLeftFormat).replace(QLatin1String("%s"), QString::number((leftMs + 999) / 1000));
        body += QLatin1Char('\n') + PlainBody(line);
    }
    QStringList actions;
    for (std::size_t i = 0; i < m_buttonCount; ++i)
        actions << QString::number(i + 1) << WithoutShortcutMark(m_buttons.at(i).caption);
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(m_kind == BalloonKind::Error ? 2 : 1));
    hints.insert(QStringLiteral("desktop-entry"), QString::fromUtf8(kDesktopId));
    // Asked without waiting: the service answers with the notice's number, which a later line of
    // the count-down replaces, and the GUI thread is never held by a slow or hung service.
    const QDBusPendingCall call = m_service->asyncCall(
        QStringLiteral("Notify"), QString::fromUtf8(kProductName), m_id, IconName(m_kind),
        QString::fromUtf8(kProductName), body, actions, hints, static_cast<int>(leftMs));
    auto* answer = new QDBusPendingCallWatcher(call, this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this, generation = m_generation, first](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                const QDBusPendingReply<uint> reply = *watcher;
                const uint id = reply.isValid() ? reply.value() : 0;
                if (generation != m_generation) {
                    // Hidden meanwhile, or replaced by a notice that did not take its place: the
                    // desktop's copy goes too.
                    if (id != 0 && id != m_id)
                        m_service->call(QDBus::NoBlock, QStringLiteral("CloseNotification"), id);
                    return;
                }
                if (id != 0)
                    m_id = id;
                else if (first)
                    showAsBalloon(); // the service did not take it: the user still sees it
            });
}

void DesktopNotifier::hideNotice()
{
    m_countdown->stop();
    ++m_generation;
    m_buttonCount = 0;
    m_buttons = {};
    if (m_id != 0)
        m_service->call(QDBus::NoBlock, QStringLiteral("CloseNotification"), m_id);
    m_id = 0;
    m_fallback.hideNotice();
}

void DesktopNotifier::onActionInvoked(uint id, const QString& key)
{
    if (id == 0 || id != m_id)
        return;
    bool number = false;
    const int button = key.toInt(&number);
    if (!number || button < 1 || static_cast<std::size_t>(button) > m_buttonCount)
        return;
    // The handler may replace the notice: it runs on a copy.
    const std::function<void()> click = m_buttons.at(static_cast<std::size_t>(button - 1)).click;
    if (!click)
        return;
    try {
        click();
    } catch (...) {
        // A handler reports its own failures; nothing may leave a Qt slot.
    }
}

void DesktopNotifier::onClosed(uint id, uint /*reason*/)
{
    if (id == 0 || id != m_id)
        return;
    m_countdown->stop();
    m_id = 0;
    m_buttonCount = 0;
    m_buttons = {};
}

} // namespace tern
