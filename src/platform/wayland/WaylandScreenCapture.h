#pragma once

#include "platform/ScreenCapture.h"

#include <memory>

class QImage;

namespace tern::platform::wayland {

class WaylandSession;
struct WaylandOutput;

// Screen pictures through the wlroots screen-copy protocol: each output is copied into shared
// memory and laid into the virtual desktop at its logical position, scaled to its logical size.
// Window frames: the compositor tells clients no window positions, so a window stands for the output
// it shows on (WaylandWindowHandles.h). GUI thread only.
class WaylandScreenCapture final : public ScreenCapture
{
public:
    WaylandScreenCapture();

    ScreenRect virtualDesktop() override;
    // Empty when the compositor offers no screen copies or an output could not be copied: a picture
    // with a missing output would pass for a true one.
    ScreenPicture capture(const ScreenRect& rect) override;
    ScreenRect windowFrameRect(WindowHandle window) override;

    // How long one output's copy may take.
    static constexpr int kCopyTimeoutMs = 3000;

private:
    std::shared_ptr<WaylandSession> m_session;
};

// The output's picture at its logical size (Format_RGB32); a null image when it could not be copied.
QImage CopyOutput(WaylandSession& session, const WaylandOutput& output);

} // namespace tern::platform::wayland
