#include "platform/TaskbarHint.h"

#include "platform/x11/X11Session.h"

namespace tern::platform {

// The state list of a window that is not mapped belongs to its client; Qt adds its own states to
// the list it finds when it maps the window.
void KeepOffTaskbar(WindowHandle window)
{
    xcb_connection_t* connection = x11::QtConnection();
    if (!connection || window == 0 || window > 0xFFFFFFFFU)
        return;
    const xcb_atom_t state = x11::InternAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = x11::InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == 0 || skipTaskbar == 0)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(window), state,
                        XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
    xcb_flush(connection);
}

} // namespace tern::platform
