#pragma once

#include "platform/ScreenCapture.h"

namespace tern::platform::x11 {

// Reads the root window through Qt's screen grab: the root window spans the whole virtual desktop,
// so one grab covers every monitor. Window frames
// come from _NET_FRAME_EXTENTS, which the window manager sets on the windows it decorates. GUI thread only.
class X11ScreenCapture final : public ScreenCapture
{
public:
    ScreenRect virtualDesktop() override;
    ScreenPicture capture(const ScreenRect& rect) override;
    ScreenRect windowFrameRect(WindowHandle window) override;
};

} // namespace tern::platform::x11
