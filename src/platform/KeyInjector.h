#pragma once

#include <cstdint>

namespace tern::platform {

// Synthesised keyboard input for the window in front. GUI thread only.
class KeyInjector
{
public:
    virtual ~KeyInjector() = default;

    // Sends, as one batch, Shift up, Alt up, Ctrl down, `virtualKey` down, `virtualKey` up, Ctrl up.
    // While otherKeysDown() holds (the user's own key that chose the command is still down) the batch
    // waits, serving events, until it is released or a second has passed; the call returns at once.
    // Returns false when nothing could be sent (no way to inject keys, or no key for `virtualKey`).
    virtual bool sendCtrlKey(std::uint16_t virtualKey) = 0;

    // True while a key other than Shift, Ctrl and Alt (the modifiers the batch releases) is down, so
    // that a key sent now would mix with the user's own. False when the keyboard cannot be read.
    virtual bool otherKeysDown() = 0;

    // True while the Shift key is down.
    virtual bool isShiftDown() = 0;
};

} // namespace tern::platform
