#include "ui/QtSystemTray.h"

#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QWindow>

namespace tern::ui {

bool QtSystemTray::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtSystemTray::iconPending() const
{
    if (!available())
        return false;
    // The toolkit names the window of its embedded tray icon after the icon's widget.
    const QWindowList windows = QGuiApplication::allWindows();
    for (const QWindow* window : windows) {
        if (window->objectName().startsWith(QLatin1String("QSystemTrayIconSys")))
            return !window->isExposed();
    }
    return false;
}

} // namespace tern::ui
