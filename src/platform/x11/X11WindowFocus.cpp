#include "platform/x11/X11WindowFocus.h"

#include "platform/x11/X11Session.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tern::platform::x11 {

namespace {

using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)>;

constexpr auto kActivationDeadline = std::chrono::milliseconds(500);
constexpr auto kActivationPoll = std::chrono::milliseconds(10);
// ICCCM WM_STATE value of a minimised window.
constexpr std::uint32_t kIconicState = 3;
// _NET_ACTIVE_WINDOW source indication of a pager or other tool acting for the user: window
// managers honour it without focus-stealing prevention.
constexpr std::uint32_t kSourcePager = 2;

PropertyReply GetProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                          xcb_atom_t type, std::uint32_t longs)
{
    return PropertyReply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, property, type, 0, longs),
                               nullptr),
        &std::free);
}

// The 32-bit items of a property reply of format 32.
std::vector<std::uint32_t> Items32(const PropertyReply& reply)
{
    if (!reply || reply->format != 32)
        return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

} // namespace

X11WindowFocus::X11WindowFocus() : m_connection(QtConnection()), m_root(QtRootWindow())
{
    m_activeWindow = InternAtom(m_connection, "_NET_ACTIVE_WINDOW");
    m_supportingCheck = InternAtom(m_connection, "_NET_SUPPORTING_WM_CHECK");
    m_wmState = InternAtom(m_connection, "WM_STATE");
    m_netWmState = InternAtom(m_connection, "_NET_WM_STATE");
    m_netWmStateHidden = InternAtom(m_connection, "_NET_WM_STATE_HIDDEN");
}

bool X11WindowFocus::hasWindowManager()
{
    return !Items32(GetProperty(m_connection, m_root, m_supportingCheck, XCB_ATOM_WINDOW, 1)).empty();
}

WindowHandle X11WindowFocus::foregroundWindow()
{
    if (!m_connection)
        return 0;
    if (hasWindowManager()) {
        const std::vector<std::uint32_t> active =
            Items32(GetProperty(m_connection, m_root, m_activeWindow, XCB_ATOM_WINDOW, 1));
        return active.empty() ? 0 : active.front();
    }
    const std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr), &std::free);
    // PointerRoot (1) and None (0) name no window.
    return focus && focus->focus > 1 && focus->focus != m_root ? focus->focus : 0;
}

bool X11WindowFocus::isMinimised(xcb_window_t window)
{
    const std::vector<std::uint32_t> state =
        Items32(GetProperty(m_connection, window, m_wmState, m_wmState, 1));
    if (!state.empty() && state.front() == kIconicState)
        return true;
    for (const std::uint32_t atom :
         Items32(GetProperty(m_connection, window, m_netWmState, XCB_ATOM_ATOM, 64)))
        if (atom == m_netWmStateHidden)
            return true;
    return false;
}

bool X11WindowFocus::forceForegroundWindow(WindowHandle window)
{
    if (!m_connection || window == 0 || window > 0xFFFFFFFFU)
        return false;
    const auto target = static_cast<xcb_window_t>(window);
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, target),
                                        nullptr),
        &std::free);
    if (!attributes)
        return false;
    if (foregroundWindow() == window)
        return true;

    const bool managed = hasWindowManager();
    if (managed) {
        // A minimised window is mapped again (the ICCCM way back from the iconic state); the
        // activation request below then also restores it with window managers that need no more.
        if (isMinimised(target))
            xcb_map_window(m_connection, target);
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = target;
        event.type = m_activeWindow;
        event.data.data32[0] = kSourcePager;
        event.data.data32[1] = XCB_CURRENT_TIME;
        event.data.data32[2] = static_cast<std::uint32_t>(foregroundWindow());
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            return false;
        const std::uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_connection, target, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, target, XCB_CURRENT_TIME);
    }
    xcb_flush(m_connection);

    // The window manager acts asynchronously: wait, bounded, for the change to show, serving the
    // GUI thread's events meanwhile rather than sleeping.
    if (foregroundWindow() == window)
        return true;
    QEventLoop loop;
    QTimer poller;
    QObject::connect(&poller, &QTimer::timeout, &loop, [&] {
        if (foregroundWindow() == window)
            loop.quit();
    });
    QTimer::singleShot(kActivationDeadline, &loop, &QEventLoop::quit);
    poller.start(kActivationPoll);
    loop.exec();
    return foregroundWindow() == window;
}

} // namespace tern::platform::x11
