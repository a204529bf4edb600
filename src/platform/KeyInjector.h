#pragma once

#include <cstdint>

namespace tern::platform {

// Synthesised keyboard input for the window in front. GUI thread only.
class KeyInjector
{
public:
    virtual ~KeyInjector() = default;

    // Sends, as one batch, Shift up, Alt up, Ctrl down, `virtualKey` down, `virtualKey` up, Ctrl up.
    // Returns false when nothing could be sent (no way to inject keys, or no key for `virtualKey`).
    virtual bool sendCtrlKey(std::uint16_t virtualKey) = 0;

    // True while the Shift key is down.
    virtual bool isShiftDown() = 0;
};

} // namespace tern::platform
