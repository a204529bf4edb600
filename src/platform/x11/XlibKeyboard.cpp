// The parts of X11Session that need Xlib's Display. Xlib defines macros (Bool, None, Status,
// Success) that clash with Qt and the C++ code elsewhere, so it is included last and only here.
#include "platform/x11/X11Session.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

namespace tern::platform::x11 {

namespace {

Display* QtDisplay()
{
    const auto* application =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return application ? application->display() : nullptr;
}

} // namespace

xcb_window_t QtRootWindow()
{
    if (Display* display = QtDisplay())
        return static_cast<xcb_window_t>(XDefaultRootWindow(display));
    xcb_connection_t* connection = QtConnection();
    if (!connection)
        return 0;
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

std::uint8_t KeycodeForKeysym(std::uint32_t keysym)
{
    Display* display = QtDisplay();
    if (!display || keysym == 0)
        return 0;
    return static_cast<std::uint8_t>(XKeysymToKeycode(display, static_cast<KeySym>(keysym)));
}

} // namespace tern::platform::x11
