#pragma once

#include "platform/ScreenCapture.h"
#include "platform/WindowFocus.h"

namespace tern::platform::wayland {

class WaylandSession;

// Window handles in a Wayland session: a toplevel of the foreign-toplevel list has its own number
// there; without that list (or with no window in front) the output under the pointer stands in,
// numbered kOutputHandle plus the output's global name.
inline constexpr WindowHandle kOutputHandle = WindowHandle{1} << 62;

// The handle of the output under the pointer as the toolkit last saw it (the first output when the
// pointer is on none of them); 0 without outputs.
WindowHandle OutputUnderPointer(const WaylandSession& session);

// The rectangle `window` covers on the virtual desktop: that of the output for an output handle, and
// for a toplevel that of the first output it shows on (its own position is not told to clients);
// empty for a window that is gone or has no output.
ScreenRect HandleRect(const WaylandSession& session, WindowHandle window);

} // namespace tern::platform::wayland
