#include "platform/x11/X11KeyInjector.h"

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11Session.h"

#include <QGuiApplication>

#include <xcb/xtest.h>

#include <X11/keysym.h>

#include <array>

namespace tern::platform::x11 {

namespace {

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

} // namespace

bool X11KeyInjector::sendCtrlKey(std::uint16_t virtualKey)
{
    xcb_connection_t* connection = QtConnection();
    if (!connection || !HasXTest(connection))
        return false;
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

bool X11KeyInjector::isShiftDown()
{
    return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

} // namespace tern::platform::x11
