#pragma once

#include "platform/KeyInjector.h"

namespace tern::platform::win {

// Keys sent to the window in front with SendInput.
class WinKeyInjector final : public KeyInjector
{
public:
    // One SendInput batch of six keyboard records: Shift up, Alt up, Ctrl down, the key down, the key
    // up, Ctrl up, sent at once (the wait for the user's keys is not built here yet). False unless the
    // system took all six.
    bool sendCtrlKey(std::uint16_t virtualKey) override;
    // The asynchronous key state of Shift is non-zero: down now, or pressed since the last query.
    bool isShiftDown() override;
    // Any key code from Backspace on, other than Shift, Ctrl and Alt, has its high (down) bit set.
    bool otherKeysDown() override;
};

} // namespace tern::platform::win
