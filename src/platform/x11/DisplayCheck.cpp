#include "platform/PlatformFactory.h"

#include "platform/wayland/WaylandPlatform.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace tern::platform {

std::string DesktopUnreachableReason()
{
    // Another platform plugin chosen by the user (the offscreen one of tests, say) needs no X server.
    const char* plugin = std::getenv("QT_QPA_PLATFORM");
    const bool chosen = plugin && *plugin;
    if (chosen && std::string_view(plugin).starts_with("wayland")) {
        if (wayland::CompositorReachable())
            return {};
        return "cannot connect to the Wayland compositor (WAYLAND_DISPLAY); check that the desktop session "
               "runs, or start with QT_QPA_PLATFORM=xcb to use its X server";
    }
    if (chosen && !std::string_view(plugin).starts_with("xcb"))
        return {};
    // Without a chosen platform the toolkit takes Wayland in a Wayland session.
    if (!chosen && wayland::CompositorReachable())
        return {};
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return "no X display to run on (DISPLAY is not set); start it inside a desktop session";
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reached)
        return std::string("cannot connect to the X display \"") + display +
               "\"; check that the desktop session runs and that DISPLAY names it";
    return {};
}

} // namespace tern::platform
