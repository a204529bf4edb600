#include "notify/SessionNotifier.h"

#include "notify/DesktopNotifier.h"

#include <QGuiApplication>

namespace tern {

std::unique_ptr<Notifier> CreateSessionNotifier(Notifier& balloons)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && DesktopNotifier::available())
        return std::make_unique<DesktopNotifier>(balloons);
    return nullptr;
}

} // namespace tern
