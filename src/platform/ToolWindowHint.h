#pragma once

#include "platform/WindowFocus.h"

namespace tern::platform {

// Asks the window manager to treat top-level `window`, which is created but not yet shown, as a small
// tool window of the program: a title bar with a close button, and no minimise or maximise buttons
// taking room from the title. GUI thread only; does nothing where the window system has no such
// request or `window` is 0.
void MarkAsToolWindow(WindowHandle window);

} // namespace tern::platform
