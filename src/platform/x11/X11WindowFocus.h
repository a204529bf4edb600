#pragma once

#include "platform/WindowFocus.h"

#include <xcb/xcb.h>

namespace tern::platform::x11 {

// The active window as the window manager reports it in _NET_ACTIVE_WINDOW, changed through the
// window manager's activation request. Without a window manager that supports it, the keyboard
// focus stands in for the active window. Uses Qt's X connection; GUI thread only.
class X11WindowFocus final : public WindowFocus
{
public:
    X11WindowFocus();

    WindowHandle foregroundWindow() override;
    // Blocks for at most about half a second while the window manager carries out the request.
    bool forceForegroundWindow(WindowHandle window) override;

private:
    bool hasWindowManager();
    bool isMinimised(xcb_window_t window);

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_activeWindow = 0;
    xcb_atom_t m_supportingCheck = 0;
    xcb_atom_t m_wmState = 0;
    xcb_atom_t m_netWmState = 0;
    xcb_atom_t m_netWmStateHidden = 0;
};

} // namespace tern::platform::x11
