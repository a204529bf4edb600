#pragma once

#include "platform/WindowFocus.h"

namespace tern::platform::win {

// The foreground window. Handles are HWND values.
class WinWindowFocus final : public WindowFocus
{
public:
    WindowHandle foregroundWindow() override;
    // Asks for the foreground; when refused, sends one empty mouse input (which lets the system grant
    // the change to the process that sent the last input) and asks again, restoring a minimised
    // window. The result of the last request.
    bool forceForegroundWindow(WindowHandle window) override;
};

} // namespace tern::platform::win
