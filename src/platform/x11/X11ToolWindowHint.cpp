#include "platform/ToolWindowHint.h"

#include "platform/x11/X11Session.h"

#include <array>
#include <cstdint>

namespace tern::platform {

namespace {

// The Motif hints window managers read for the functions and decorations they offer.
constexpr std::uint32_t kMwmFunctionsValid = 1U << 0;
constexpr std::uint32_t kMwmDecorationsValid = 1U << 1;
constexpr std::uint32_t kMwmFunctionMove = 1U << 2;
constexpr std::uint32_t kMwmFunctionClose = 1U << 5;
constexpr std::uint32_t kMwmDecorBorder = 1U << 1;
constexpr std::uint32_t kMwmDecorTitle = 1U << 3;
constexpr std::uint32_t kMwmDecorMenu = 1U << 4;

} // namespace

// Both requests are made before the window is mapped, when window managers read them; Qt keeps
// properties it finds on the window when it maps it. The type list names a toolbar first (window
// managers such as openbox drop the minimise and maximise buttons only for it) and a utility window
// after it for those that know no toolbar; the Motif hints leave moving and closing only, for window
// managers that go by them.
void MarkAsToolWindow(WindowHandle window)
{
    xcb_connection_t* connection = x11::QtConnection();
    if (!connection || window == 0 || window > 0xFFFFFFFFU)
        return;
    const auto target = static_cast<xcb_window_t>(window);
    const xcb_atom_t windowType = x11::InternAtom(connection, "_NET_WM_WINDOW_TYPE");
    const std::array<xcb_atom_t, 2> types = {x11::InternAtom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                             x11::InternAtom(connection, "_NET_WM_WINDOW_TYPE_UTILITY")};
    if (windowType != 0 && types[0] != 0 && types[1] != 0)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, target, windowType, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(types.size()), types.data());
    const xcb_atom_t motifHints = x11::InternAtom(connection, "_MOTIF_WM_HINTS");
    const std::array<std::uint32_t, 5> hints = {kMwmFunctionsValid | kMwmDecorationsValid,
                                                kMwmFunctionMove | kMwmFunctionClose,
                                                kMwmDecorBorder | kMwmDecorTitle | kMwmDecorMenu, 0, 0};
    if (motifHints != 0)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, target, motifHints, motifHints, 32,
                            static_cast<std::uint32_t>(hints.size()), hints.data());
    xcb_flush(connection);
}

} // namespace tern::platform
