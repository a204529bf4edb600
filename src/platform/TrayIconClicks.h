#pragma once

#include <functional>

namespace tern::platform {

// Left clicks on the program's tray icon that the toolkit withholds while a modal dialog of the
// program is open (it blocks input to every other window of the program, the tray icon's included).
// Lets a tray click still bring the open dialog to the front. GUI thread only; the handler runs on
// the GUI thread from the event loop.
class TrayIconClicks
{
public:
    virtual ~TrayIconClicks() = default;

    // Called once for each left click on the tray icon that a modal dialog keeps from the icon;
    // clicks the icon receives itself are not reported. An empty handler reports nothing.
    virtual void setHandler(std::function<void()> handler) = 0;
};

} // namespace tern::platform
