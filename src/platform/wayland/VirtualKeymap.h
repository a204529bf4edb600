#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tern::platform::wayland {

// A keyboard layout of our own for the virtual keyboard: one key for every virtual-key code that has
// an X keysym (platform/x11/VirtualKeyMap.h), each with its one symbol, and Left Control bound to the
// Control modifier. Independent of the user's layout, so that the keys we press mean what we say.
class VirtualKeymap
{
public:
    VirtualKeymap();

    // The keymap in the XKB text format, as the virtual keyboard receives it.
    const std::string& text() const { return m_text; }
    // The evdev key code (XKB key code minus 8) of `virtualKey`; 0 when the layout has no key for it.
    std::uint32_t keyOf(std::uint16_t virtualKey) const;
    // The key code of Left Control, and the modifier mask it sets.
    std::uint32_t controlKey() const;
    static constexpr std::uint32_t kControlMask = 1U << 2;

private:
    std::string m_text;
    std::vector<std::uint32_t> m_keys; // by virtual-key code
};

} // namespace tern::platform::wayland
