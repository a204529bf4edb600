#pragma once

#include "platform/KeyInjector.h"

#include <functional>
#include <vector>

namespace tern::platform::fake {

// Records the keys sent; `onSend` lets a test react as the window in front would (for example put
// something on a fake clipboard when Ctrl+C arrives). `shiftDown` is what isShiftDown() answers and
// `keysDown` what otherKeysDown() answers (the keys are sent at once all the same); with
// `cannotSend` nothing is sent, as without a key injection extension.
class FakeKeyInjector final : public KeyInjector
{
public:
    bool sendCtrlKey(std::uint16_t virtualKey) override
    {
        if (cannotSend)
            return false;
        sent.push_back(virtualKey);
        if (onSend)
            onSend(virtualKey);
        return true;
    }

    bool isShiftDown() override { return shiftDown; }
    bool otherKeysDown() override { return keysDown; }

    std::vector<std::uint16_t> sent;
    std::function<void(std::uint16_t)> onSend;
    bool shiftDown = false;
    bool keysDown = false;
    bool cannotSend = false;
};

} // namespace tern::platform::fake
