#pragma once

#include "notify/TrayBalloon.h"
#include "platform/WindowFocus.h"

namespace tern {

// What the command dispatcher needs of the tray: the balloon at its icon (TrayBalloon), the window
// that was in front when the hotkey was last pressed, and the indicator of a running upload.
// GUI thread only.
class TrayView : public TrayBalloon
{
public:
    // The window in front at the last hotkey press; 0 when there was none.
    virtual platform::WindowHandle prevForeground() const = 0;
    // Tray animation and "uploading" hint while an upload runs; every begin is followed by one end.
    virtual void beginUploadIndicator() = 0;
    virtual void endUploadIndicator() = 0;
};

} // namespace tern
