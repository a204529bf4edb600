#pragma once

#include <cstdint>
#include <string>

namespace tern::platform::wayland {

// A shortcut value (util/ShortcutBits.h) in the form the desktop portal's shortcuts take: the
// modifiers "CTRL", "ALT", "SHIFT" that are set, then the key's XKB keysym name, joined by "+"
// (0x6059, Shift+Ctrl+Y, reads "CTRL+SHIFT+y"). Empty when the key has no keysym here, or for a key
// without modifiers (no desktop binds a plain key for the whole session).
std::string ShortcutTrigger(std::uint16_t shortcut);

} // namespace tern::platform::wayland
