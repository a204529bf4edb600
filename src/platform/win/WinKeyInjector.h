#pragma once

#include "platform/KeyInjector.h"

namespace tern::platform::win {

// Keys sent to the window in front with SendInput.
class WinKeyInjector final : public KeyInjector
{
public:
    // One SendInput batch of six keyboard records: Shift up, Alt up, Ctrl down, the key down, the key
    // up, Ctrl up. False unless the system took all six.
    bool sendCtrlKey(std::uint16_t virtualKey) override;
    // The asynchronous key state of Shift is non-zero: down now, or pressed since the last query.
    bool isShiftDown() override;
};

} // namespace tern::platform::win
