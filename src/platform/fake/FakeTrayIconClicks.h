#pragma once

#include "platform/TrayIconClicks.h"

namespace tern::platform::fake {

// Holds the handler; a test reports a withheld tray click with click().
class FakeTrayIconClicks final : public TrayIconClicks
{
public:
    void setHandler(std::function<void()> newHandler) override { handler = std::move(newHandler); }

    void click() const
    {
        if (handler)
            handler();
    }

    std::function<void()> handler;
};

} // namespace tern::platform::fake
