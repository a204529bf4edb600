#pragma once

#include "platform/WindowFocus.h"

namespace tern::platform {

// Asks the window manager to show no taskbar entry for top-level `window`, which is created but not
// yet shown; the request holds for the window's first showing. GUI thread only; does nothing where
// the window system has no such request or `window` is 0.
void KeepOffTaskbar(WindowHandle window);

} // namespace tern::platform
