#pragma once

#include "platform/WindowFocus.h"

#include <memory>

namespace tern::platform::wayland {

class WaylandSession;

// The window in front from the compositor's toplevel list (wlroots foreign-toplevel protocol): the
// toplevel in the activated state, activated on request. Without that list the output under the
// pointer stands in for the window in front (WaylandWindowHandles.h). GUI thread only.
class WaylandWindowFocus final : public WindowFocus
{
public:
    WaylandWindowFocus();

    WindowHandle foregroundWindow() override;
    // A toplevel: asks the compositor to activate it and serves events for at most kActivateTimeoutMs
    // until it reports the window activated. An output handle: true while that output exists (there is
    // no window to bring forward; the compositor gives the focus back itself when our menu closes).
    bool forceForegroundWindow(WindowHandle window) override;

    static constexpr int kActivateTimeoutMs = 500;

private:
    std::shared_ptr<WaylandSession> m_session;
};

} // namespace tern::platform::wayland
