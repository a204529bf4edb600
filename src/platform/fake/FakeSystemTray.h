#pragma once

#include "platform/SystemTray.h"

namespace tern::platform::fake {

// A tray whose state the test sets; by default a running tray that shows the icon at once.
class FakeSystemTray final : public SystemTray
{
public:
    bool available() const override { return running; }
    bool iconPending() const override { return running && pending; }

    bool running = true;
    bool pending = false;
};

} // namespace tern::platform::fake
