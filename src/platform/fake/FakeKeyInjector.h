#pragma once

#include "platform/KeyInjector.h"

#include <functional>
#include <vector>

namespace tern::platform::fake {

// Records the keys sent; `onSend` lets a test react as the window in front would (for example put
// something on a fake clipboard when Ctrl+C arrives). `shiftDown` is what isShiftDown() answers.
class FakeKeyInjector final : public KeyInjector
{
public:
    void sendCtrlKey(std::uint16_t virtualKey) override
    {
        sent.push_back(virtualKey);
        if (onSend)
            onSend(virtualKey);
    }

    bool isShiftDown() override { return shiftDown; }

    std::vector<std::uint16_t> sent;
    std::function<void(std::uint16_t)> onSend;
    bool shiftDown = false;
};

} // namespace tern::platform::fake
