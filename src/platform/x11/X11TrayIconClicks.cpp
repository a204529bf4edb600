#include "platform/x11/X11TrayIconClicks.h"

#include "platform/x11/X11Session.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

namespace tern::platform::x11 {

namespace {

// The toolkit names the window of a widget after the widget's object name plus "Window".
bool isTrayIconWindow(xcb_window_t window)
{
    const QWindowList windows = QGuiApplication::allWindows();
    for (const QWindow* candidate : windows) {
        // Windows without a native window yet are skipped: asking for their id would create one.
        if (candidate->handle() && candidate->winId() == window)
            return candidate->objectName().startsWith(QLatin1String("QSystemTrayIconSys"));
    }
    return false;
}

} // namespace

X11TrayIconClicks::X11TrayIconClicks()
{
    if (QtConnection() && QCoreApplication::instance()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_installed = true;
    }
}

X11TrayIconClicks::~X11TrayIconClicks()
{
    if (m_installed && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11TrayIconClicks::setHandler(std::function<void()> handler)
{
    m_handler = std::move(handler);
}

bool X11TrayIconClicks::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t" || !m_handler || !QGuiApplication::modalWindow())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_BUTTON_PRESS)
        return false;
    const auto* press = static_cast<const xcb_button_press_event_t*>(message);
    if (press->detail != XCB_BUTTON_INDEX_1 || !isTrayIconWindow(press->event))
        return false;
    // Delivered from the event loop rather than from inside the filter, so that the handler may
    // change windows; a copy keeps it valid if replaced meanwhile.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [handler = m_handler] { handler(); }, Qt::QueuedConnection);
    return false;
}

} // namespace tern::platform::x11
