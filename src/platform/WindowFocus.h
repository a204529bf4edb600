#pragma once

#include <cstdint>

namespace tern::platform {

// An opaque top-level window handle; 0 is no window.
using WindowHandle = std::uint64_t;

// The window in front. GUI thread only.
class WindowFocus
{
public:
    virtual ~WindowFocus() = default;

    // The active top-level window, or 0.
    virtual WindowHandle foregroundWindow() = 0;

    // Makes `window` the active window, restoring it when minimised. False when it is no window or
    // did not become active. May serve the GUI thread's events while it waits for the change.
    virtual bool forceForegroundWindow(WindowHandle window) = 0;
};

} // namespace tern::platform
