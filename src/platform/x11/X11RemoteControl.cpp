#include "platform/x11/X11RemoteControl.h"

#include "platform/x11/X11RemoteProtocol.h"
#include "platform/x11/X11RemoteSender.h"
#include "platform/x11/X11Session.h"

#include <QCoreApplication>

#include <utility>

#include <unistd.h>

namespace tern::platform::x11 {

X11RemoteControl::X11RemoteControl() : m_instanceKey(SessionInstanceKey()) {}

X11RemoteControl::X11RemoteControl(std::string instanceKey) : m_instanceKey(std::move(instanceKey)) {}

X11RemoteControl::~X11RemoteControl()
{
    if (m_window == 0)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
}

void X11RemoteControl::listen(const std::string& title,
                              std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler)
{
    m_handler = std::move(handler);
    if (m_window == 0) {
        m_connection = QtConnection();
        const xcb_window_t root = QtRootWindow();
        if (!m_connection || root == 0 || !QCoreApplication::instance())
            return;
        m_messageAtom = InternAtom(m_connection, kRemoteMessageAtom);
        m_replyAtom = InternAtom(m_connection, kRemoteReplyAtom);
        m_window = xcb_generate_id(m_connection);
        // Never mapped: the window exists only to be found by its title and to receive messages.
        xcb_create_window(m_connection, 0, m_window, root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        const auto pid = static_cast<std::uint32_t>(::getpid());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window,
                            InternAtom(m_connection, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window,
                            InternAtom(m_connection, kInstanceKeyAtom), XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(m_instanceKey.size()), m_instanceKey.data());
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    setTitle(title);
    xcb_flush(m_connection);
}

void X11RemoteControl::setTitle(const std::string& title)
{
    const auto length = static_cast<std::uint32_t>(title.size());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        length, title.data());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window,
                        InternAtom(m_connection, "_NET_WM_NAME"), InternAtom(m_connection, "UTF8_STRING"), 8,
                        length, title.data());
}

std::optional<std::int64_t> X11RemoteControl::send(const std::string& title, std::uint32_t message,
                                                   std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    return SendRemoteMessage(title, message, wParam, lParam, timeoutMs, m_instanceKey);
}

void X11RemoteControl::reply(xcb_window_t sender, std::uint32_t message, std::int64_t result)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = sender;
    event.type = m_replyAtom;
    event.data.data32[0] = message;
    event.data.data32[1] = static_cast<std::uint32_t>(result);
    // The sender may be gone already; its BadWindow is dropped here instead of being reported by Qt.
    const xcb_void_cookie_t cookie = xcb_send_event_checked(m_connection, 0, sender, XCB_EVENT_MASK_NO_EVENT,
                                                            reinterpret_cast<const char*>(&event));
    xcb_discard_reply(m_connection, cookie.sequence);
    xcb_flush(m_connection);
}

bool X11RemoteControl::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->window != m_window || client->type != m_messageAtom || client->format != 32)
        return false;
    const std::uint32_t privateMessage = client->data.data32[0];
    const auto wParam = static_cast<std::int32_t>(client->data.data32[1]);
    const auto lParam = static_cast<std::int32_t>(client->data.data32[2]);
    const xcb_window_t sender = client->data.data32[3];
    std::int64_t result = 0;
    try {
        if (m_handler)
            result = m_handler(privateMessage, wParam, lParam);
    } catch (...) {
        result = 0;
    }
    if (sender != 0)
        reply(sender, privateMessage, result);
    return true;
}

} // namespace tern::platform::x11
