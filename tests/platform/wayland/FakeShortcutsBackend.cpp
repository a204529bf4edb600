// A desktop's global-shortcuts backend for xdg-desktop-portal, for the tests: it owns
// org.freedesktop.impl.portal.desktop.terntest (the portal finds it through terntest.portal), answers
// CreateSession, and BindShortcuts as told (--answer 0 binds, 1 is the user declining), naming the
// trigger given with --trigger. Each binding is printed, one shortcut a line:
//   bound ID description=TEXT preferred_trigger=TRIGGER
// The test presses a bound shortcut through org.tern.TestPortal.Press(s id) at the same path, which
// sends Activated for the last session.
#include "platform/wayland/PortalShortcut.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDateTime>

#include <iostream>

namespace {

using Shortcut = tern::platform::wayland::PortalShortcut;

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.impl.portal.GlobalShortcuts");

class Backend final : public QDBusVirtualObject
{
public:
    Backend(uint answer, QString trigger) : m_answer(answer), m_trigger(std::move(trigger)) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override
    {
        const QList<QVariant> in = message.arguments();
        const QString member = message.member();
        if (member == QStringLiteral("Get"))
            return bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1U))));
        if (member == QStringLiteral("CreateSession") && in.size() >= 2) {
            m_session = in.at(1).value<QDBusObjectPath>();
            return bus.send(message.createReply({0U, QVariantMap()}));
        }
        if (member == QStringLiteral("BindShortcuts") && in.size() >= 3) {
            auto shortcuts = qdbus_cast<QList<Shortcut>>(in.at(2));
            for (Shortcut& shortcut : shortcuts) {
                std::cout
                    << "bound " << shortcut.id.toStdString() << " description="
                    << shortcut.options.value(QStringLiteral("description")).toString().toStdString()
                    << " preferred_trigger="
                    << shortcut.options.value(QStringLiteral("preferred_trigger")).toString().toStdString()
                    << std::endl;
                shortcut.options = {{QStringLiteral("description"), shortcut.options.value("description")},
                                    {QStringLiteral("trigger_description"), m_trigger}};
            }
            const QVariantMap results{{QStringLiteral("shortcuts"), QVariant::fromValue(shortcuts)}};
            return bus.send(message.createReply({m_answer, m_answer == 0 ? results : QVariantMap()}));
        }
        if (member == QStringLiteral("Press") && !in.isEmpty()) {
            QDBusMessage activated =
                QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Activated"));
            activated << QVariant::fromValue(m_session) << in.at(0).toString()
                      << static_cast<qulonglong>(QDateTime::currentMSecsSinceEpoch()) << QVariantMap();
            return bus.send(activated) && bus.send(message.createReply());
        }
        return false;
    }

private:
    uint m_answer;
    QString m_trigger;
    QDBusObjectPath m_session;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    const QStringList arguments = QCoreApplication::arguments();
    const auto option = [&arguments](const char* name, const char* fallback) {
        const auto at = arguments.indexOf(QString::fromUtf8(name));
        return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString::fromUtf8(fallback);
    };
    Backend backend(option("--answer", "0").toUInt(), option("--trigger", ""));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(kPath, &backend) ||
        !bus.registerService(QStringLiteral("org.freedesktop.impl.portal.desktop.terntest"))) {
        std::cerr << "fake shortcuts backend: cannot take its bus name" << std::endl;
        return 1;
    }
    return QCoreApplication::exec();
}
