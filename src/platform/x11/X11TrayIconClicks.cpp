#include "platform/x11/X11TrayIconClicks.h"

#include "platform/x11/X11Session.h"

#include <QGuiApplication>
#include <QWindow>

#include <X11/extensions/XI2proto.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

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

// The major opcode of the X Input extension, which carries the pointer events when the toolkit uses
// it; 0 when the server lacks it.
std::uint8_t inputExtensionOpcode(xcb_connection_t* connection)
{
    constexpr const char* kName = "XInputExtension";
    const xcb_query_extension_cookie_t cookie =
        xcb_query_extension(connection, static_cast<std::uint16_t>(std::strlen(kName)), kName);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    const std::uint8_t opcode = reply->present ? reply->major_opcode : 0;
    std::free(reply);
    return opcode;
}

} // namespace

X11TrayIconClicks::X11TrayIconClicks()
{
    xcb_connection_t* connection = QtConnection();
    if (connection && QCoreApplication::instance()) {
        m_inputOpcode = inputExtensionOpcode(connection);
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
    const std::uint8_t type = event->response_type & 0x7F;
    xcb_window_t window = 0;
    std::uint32_t button = 0;
    if (type == XCB_BUTTON_PRESS) {
        const auto* press = static_cast<const xcb_button_press_event_t*>(message);
        window = press->event;
        button = press->detail;
    } else if (type == XCB_GE_GENERIC && m_inputOpcode != 0) {
        // The X Input 2 form of a press, as the toolkit requests pointer events where it can.
        const auto* generic = static_cast<const xcb_ge_generic_event_t*>(message);
        if (generic->extension != m_inputOpcode || generic->event_type != XI_ButtonPress)
            return false;
        const auto* press = static_cast<const xXIDeviceEvent*>(message);
        window = press->event;
        button = press->detail;
    }
    if (button != 1 || !isTrayIconWindow(window))
        return false;
    // Delivered from the event loop rather than from inside the filter, so that the handler may
    // change windows; a copy keeps it valid if replaced meanwhile. The event itself goes on.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [handler = m_handler] { handler(); }, Qt::QueuedConnection);
    return false;
}

} // namespace tern::platform::x11
