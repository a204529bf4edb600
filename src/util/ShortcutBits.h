#pragma once

#include <cstdint>

namespace tern {

// The layout of a 16-bit shortcut value, as the settings store it and the hotkey services read it:
// the modifier flags in the top three bits, the virtual-key code in the bits below them.
inline constexpr std::uint16_t kShortcutShiftFlag = 0x2000;
inline constexpr std::uint16_t kShortcutCtrlFlag = 0x4000;
inline constexpr std::uint16_t kShortcutAltFlag = 0x8000;
inline constexpr std::uint16_t kShortcutKeyBits = 0x1FFF;

} // namespace tern
