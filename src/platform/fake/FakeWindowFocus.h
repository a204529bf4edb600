#pragma once

#include "platform/WindowFocus.h"

#include <set>
#include <vector>

namespace tern::platform::fake {

// A set of existing windows and the one in front. forceForegroundWindow() succeeds for an existing
// window unless it is in `refusing`, and records every request.
class FakeWindowFocus final : public WindowFocus
{
public:
    WindowHandle foregroundWindow() override { return foreground; }

    bool forceForegroundWindow(WindowHandle window) override
    {
        requests.push_back(window);
        if (window == 0 || windows.count(window) == 0 || refusing.count(window) != 0)
            return false;
        foreground = window;
        return true;
    }

    WindowHandle foreground = 0;
    std::set<WindowHandle> windows;
    std::set<WindowHandle> refusing;
    std::vector<WindowHandle> requests;
};

} // namespace tern::platform::fake
