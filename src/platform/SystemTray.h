#pragma once

namespace tern::platform {

// The desktop's system tray, which holds the program's icon. GUI thread only.
class SystemTray
{
public:
    virtual ~SystemTray() = default;

    // Whether a system tray runs now. Without one the program's icon is not shown until one starts.
    virtual bool available() const = 0;
    // Whether the tray has been handed the program's icon but does not show it yet, so that the
    // icon's rectangle is not yet its place on screen. False without a tray.
    virtual bool iconPending() const = 0;
};

} // namespace tern::platform
