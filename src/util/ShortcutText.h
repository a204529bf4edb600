#pragma once

#include "util/ShortcutBits.h"

#include <cstdint>
#include <string>

namespace tern {

// The name of a virtual-key code as the user reads it ("Y", "F5", "PgUp", "Num 3", ";"); empty for
// a code without a name here.
std::string VirtualKeyName(std::uint16_t virtualKey);

// A shortcut value as the user reads it: "Shift+", "Ctrl+", "Alt+" for the flags that are set, in
// that order, then the key's name; 0x6059 reads "Shift+Ctrl+Y". Empty when the key has no name, so
// that no shortcut ever reads as modifiers alone.
std::string ShortcutText(std::uint16_t shortcut);

} // namespace tern
