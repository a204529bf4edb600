#pragma once

#include "platform/TrayIconClicks.h"

namespace tern::platform::win {

// Windows tells the tray icon's clicks to a hidden message window of the toolkit's, not to a window
// of the program's that a modal dialog blocks: the icon receives every click itself, also while a
// dialog is open, so none is withheld and none is reported here.
class WinTrayIconClicks final : public TrayIconClicks
{
public:
    void setHandler(std::function<void()> /*handler*/) override {}
};

} // namespace tern::platform::win
