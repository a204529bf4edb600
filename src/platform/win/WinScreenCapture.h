#pragma once

#include "platform/ScreenCapture.h"

namespace tern::platform::win {

// The screen through GDI: a bit-block copy from the screen's device context into a 32-bit
// device-independent bitmap. Window rectangles come from the desktop window manager where it gives
// them (the visible frame, without invisible resize borders), else from the window itself.
class WinScreenCapture final : public ScreenCapture
{
public:
    ScreenRect virtualDesktop() override;
    ScreenPicture capture(const ScreenRect& rect) override;
    ScreenRect windowFrameRect(WindowHandle window) override;
};

} // namespace tern::platform::win
