#include "platform/x11/X11Session.h"

#include <QGuiApplication>

#include <X11/keysym.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace tern::platform::x11 {

xcb_connection_t* QtConnection()
{
    const auto* application =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return application ? application->connection() : nullptr;
}

std::uint16_t NumLockMask()
{
    xcb_connection_t* connection = QtConnection();
    const std::uint8_t numLock = KeycodeForKeysym(XK_Num_Lock);
    if (!connection || numLock == 0)
        return 0;
    const std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> reply(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr),
        &std::free);
    if (!reply)
        return 0;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (keycodes[modifier * perModifier + i] == numLock)
                return static_cast<std::uint16_t>(1U << modifier);
    return 0;
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name)
{
    if (!connection)
        return XCB_ATOM_NONE;
    const auto length = static_cast<std::uint16_t>(std::strlen(name));
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, length, name), nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace tern::platform::x11
