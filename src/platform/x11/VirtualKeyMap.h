#pragma once

#include <cstdint>

namespace tern::platform::x11 {

// Modifier flags of a 16-bit shortcut value; the virtual-key code sits in the bits below them.
inline constexpr std::uint16_t kShortcutShift = 0x2000;
inline constexpr std::uint16_t kShortcutCtrl = 0x4000;
inline constexpr std::uint16_t kShortcutAlt = 0x8000;
inline constexpr std::uint16_t kShortcutKeyMask = 0x1FFF;

// The X keysym of a Windows virtual-key code (the key's unshifted symbol on a US layout, so that
// the same physical key is meant), or 0 when the key has no equivalent here.
std::uint32_t KeysymForVirtualKey(std::uint16_t virtualKey);

// The core modifier mask (ShiftMask, ControlMask, Mod1Mask) of a shortcut value's flags.
std::uint16_t ModifierMaskForShortcut(std::uint16_t shortcut);

} // namespace tern::platform::x11
