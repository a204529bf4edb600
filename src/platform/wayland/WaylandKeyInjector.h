#pragma once

#include "platform/KeyInjector.h"
#include "platform/wayland/VirtualKeymap.h"

#include <memory>

struct zwp_virtual_keyboard_v1;

namespace tern::platform::wayland {

class WaylandSession;

// Keyboard input through a virtual keyboard of ours (zwp_virtual_keyboard_v1) with our own layout
// (VirtualKeymap): the keys reach whichever window has the keyboard focus, as typed keys would. The
// compositor is asked for the keyboard when the injector is made (again on use if that failed). GUI
// thread only.
class WaylandKeyInjector final : public KeyInjector
{
public:
    WaylandKeyInjector();
    ~WaylandKeyInjector() override;
    WaylandKeyInjector(const WaylandKeyInjector&) = delete;
    WaylandKeyInjector& operator=(const WaylandKeyInjector&) = delete;

    // Presses Left Control and the key with only Control in the modifier state (Shift and Alt held on
    // another keyboard do not reach the window), releases both, and waits until the compositor has
    // taken them. False without a compositor offering virtual keyboards or without a key for
    // `virtualKey`.
    bool sendCtrlKey(std::uint16_t virtualKey) override;
    // Shift as the toolkit last saw it on our own windows: a client learns no other keyboard state.
    bool isShiftDown() override;
    // Always false: a Wayland client learns no key state outside its own windows. The keys sent go to
    // the window in front with only Control in their modifier state, so a key still held by the user
    // does not change them.
    bool otherKeysDown() override;

private:
    bool ensureKeyboard();

    std::shared_ptr<WaylandSession> m_session;
    VirtualKeymap m_keymap;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
};

} // namespace tern::platform::wayland
