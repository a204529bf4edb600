#pragma once

#include "util/ShortcutBits.h"

#include <cstdint>

namespace tern::platform::x11 {

// The X keysym of a Windows virtual-key code (the key's unshifted symbol on a US layout, so that
// the same physical key is meant), or 0 when the key has no equivalent here.
std::uint32_t KeysymForVirtualKey(std::uint16_t virtualKey);

// The core modifier mask (ShiftMask, ControlMask, Mod1Mask) of a shortcut value's flags
// (util/ShortcutBits.h).
std::uint16_t ModifierMaskForShortcut(std::uint16_t shortcut);

} // namespace tern::platform::x11
