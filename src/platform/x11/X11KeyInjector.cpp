#include "platform/x11/X11KeyInjector.h"

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11Session.h"

#include <QGuiApplication>

#include <xcb/xtest.h>

#include <X11/keysym.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace tern::platform::x11 {

namespace {

// How often a waiting batch looks at the keyboard.
constexpr int kReleasePollMs = 10;

bool HasXTest(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_test_id);
    return extension && extension->present;
}

void FakeKey(xcb_connection_t* connection, std::uint8_t type, xcb_keycode_t keycode)
{
    if (keycode != 0)
        xcb_test_fake_input(connection, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// The keysyms whose keys the batch presses or releases itself: the user may hold them.
constexpr std::array<std::uint32_t, 6> kBatchModifiers = {XK_Shift_L,   XK_Shift_R, XK_Control_L,
                                                          XK_Control_R, XK_Alt_L,   XK_Alt_R};

// Sends the batch for `key` and flushes; false when the key or Control has no keycode.
bool SendBatch(xcb_connection_t* connection, std::uint16_t virtualKey)
{
    const xcb_keycode_t key = KeycodeForKeysym(KeysymForVirtualKey(virtualKey));
    const xcb_keycode_t control = KeycodeForKeysym(XK_Control_L);
    if (key == 0 || control == 0)
        return false;
    for (const std::uint32_t released :
         std::array<std::uint32_t, 4>{XK_Shift_L, XK_Shift_R, XK_Alt_L, XK_Alt_R})
        FakeKey(connection, XCB_KEY_RELEASE, KeycodeForKeysym(released));
    FakeKey(connection, XCB_KEY_PRESS, control);
    FakeKey(connection, XCB_KEY_PRESS, key);
    FakeKey(connection, XCB_KEY_RELEASE, key);
    FakeKey(connection, XCB_KEY_RELEASE, control);
    xcb_flush(connection);
    return true;
}

} // namespace

X11KeyInjector::X11KeyInjector()
{
    m_releasePoll.setInterval(kReleasePollMs);
    QObject::connect(&m_releasePoll, &QTimer::timeout, [this] { sendWaitingBatches(); });
}

bool X11KeyInjector::sendCtrlKey(std::uint16_t virtualKey)
{
    xcb_connection_t* connection = QtConnection();
    if (!connection || !HasXTest(connection))
        return false;
    if (KeycodeForKeysym(KeysymForVirtualKey(virtualKey)) == 0 || KeycodeForKeysym(XK_Control_L) == 0)
        return false;
    if (m_waiting.empty() && !otherKeysDown())
        return SendBatch(connection, virtualKey);
    if (m_waiting.empty())
        m_releaseDeadline.setRemainingTime(kReleaseWaitMs);
    m_waiting.push_back(virtualKey);
    m_releasePoll.start();
    return true;
}

void X11KeyInjector::sendWaitingBatches()
{
    if (!m_releaseDeadline.hasExpired() && otherKeysDown())
        return;
    m_releasePoll.stop();
    xcb_connection_t* connection = QtConnection();
    while (!m_waiting.empty()) {
        if (connection)
            SendBatch(connection, m_waiting.front());
        m_waiting.pop_front();
    }
}

bool X11KeyInjector::otherKeysDown()
{
    xcb_connection_t* connection = QtConnection();
    if (!connection)
        return false;
    const std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    if (!keymap)
        return false;
    std::array<std::uint8_t, 32> down{};
    std::copy(std::begin(keymap->keys), std::end(keymap->keys), down.begin());
    for (const std::uint32_t modifier : kBatchModifiers) {
        const xcb_keycode_t keycode = KeycodeForKeysym(modifier);
        if (keycode != 0)
            down[keycode / 8] &= static_cast<std::uint8_t>(~(1u << (keycode % 8)));
    }
    for (const std::uint8_t bits : down)
        if (bits != 0)
            return true;
    return false;
}

bool X11KeyInjector::isShiftDown()
{
    return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

} // namespace tern::platform::x11
