#pragma once

#include <xcb/xcb.h>

#include <cstdint>

namespace tern::platform::x11 {

// Qt's own connection to the X server; nullptr when the application does not run on xcb.
// Events of this connection reach QAbstractNativeEventFilter objects installed on the application.
xcb_connection_t* QtConnection();

// The root window of Qt's default screen; 0 without a connection.
xcb_window_t QtRootWindow();

// The keycode that produces `keysym` in the current keyboard mapping of Qt's display; 0 when no
// key does.
std::uint8_t KeycodeForKeysym(std::uint32_t keysym);

// The modifier bit that Num_Lock is bound to on Qt's display, 0 when it is bound to none.
std::uint16_t NumLockMask();

// The atom of `name` on `connection`, created when missing; 0 on failure.
xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name);

} // namespace tern::platform::x11
