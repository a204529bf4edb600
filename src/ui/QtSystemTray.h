#pragma once

#include "platform/SystemTray.h"

namespace tern::ui {

// The system tray as the toolkit's tray icon sees it. Where the toolkit embeds the icon as a window
// of its own (an XEmbed tray on X11), the icon is pending until that window is shown in the tray;
// elsewhere the toolkit's icon rectangle is final as soon as a tray exists.
class QtSystemTray final : public platform::SystemTray
{
public:
    bool available() const override;
    bool iconPending() const override;
};

} // namespace tern::ui
