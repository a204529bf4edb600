#pragma once

#include <QKeyCombination>

#include <cstdint>

namespace tern {

// Windows virtual-key codes of Qt keys, so that a shortcut typed here is stored as the same 16-bit
// value a Windows build stores. Punctuation keys are the keys of a US layout; a shifted symbol
// ("!", "{", ...) means the key it is typed with ("1", "[", ...).

// The virtual-key code of `qtKey` (a Qt::Key value); `keypad` tells that the key is on the number
// pad. 0 for modifier keys and keys without a code.
std::uint16_t VirtualKeyForQtKey(int qtKey, bool keypad);

// The Qt key of a virtual-key code, with Qt::KeypadModifier for number-pad keys; Qt::Key_unknown
// when the code has no key here.
QKeyCombination QtKeyForVirtualKey(std::uint16_t virtualKey);

} // namespace tern
