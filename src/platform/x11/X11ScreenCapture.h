#pragma once

#include "platform/ScreenCapture.h"

namespace tern::platform::x11 {

// Reads the root window, which spans the whole virtual desktop, so one capture covers every monitor:
// straight into the picture in bands of rows where the server's pixels are 32-bit RGB (so that no
// second copy of a screen-sized picture is ever made), else through Qt's screen grab. Window frames
// come from _NET_FRAME_EXTENTS, which the window manager sets on the windows it decorates. GUI thread only.
class X11ScreenCapture final : public ScreenCapture
{
public:
    ScreenRect virtualDesktop() override;
    ScreenPicture capture(const ScreenRect& rect) override;
    ScreenRect windowFrameRect(WindowHandle window) override;
};

} // namespace tern::platform::x11
