#pragma once

#include <QDBusArgument>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace tern::platform::wayland {

// One shortcut as the desktop portal's global shortcuts pass it (sa{sv}): its name and its options
// (description, preferred trigger, trigger description).
struct PortalShortcut
{
    QString id;
    QVariantMap options;
};

inline QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.options;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.options;
    argument.endStructure();
    return argument;
}

} // namespace tern::platform::wayland

Q_DECLARE_METATYPE(tern::platform::wayland::PortalShortcut)
