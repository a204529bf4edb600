#pragma once

#include "platform/KeyInjector.h"

namespace tern::platform::x11 {

// Keyboard input synthesised with the XTEST extension over Qt's X connection. The events go to
// whichever window has the keyboard focus, exactly as typed keys would. Without XTEST or without an
// xcb application nothing is sent.
class X11KeyInjector final : public KeyInjector
{
public:
    // Releases both Shift keys and both Alt keys (either may be held down while the user picks a
    // menu item), presses Left Control and the key, releases them, and flushes the connection.
    // False without XTEST, without an xcb application or without a key for `virtualKey`.
    bool sendCtrlKey(std::uint16_t virtualKey) override;
    bool isShiftDown() override;
};

} // namespace tern::platform::x11
