#include "platform/wayland/VirtualKeymap.h"

#include "platform/x11/VirtualKeyMap.h"

#include <xkbcommon/xkbcommon.h>

#include <array>

namespace tern::platform::wayland {

namespace {

constexpr std::uint16_t kControlVirtualKey = 0x11;
constexpr std::uint32_t kFirstKeycode = 9;

std::string keysymName(std::uint32_t keysym)
{
    std::array<char, 64> name = {};
    if (keysym == 0 || xkb_keysym_get_name(keysym, name.data(), name.size()) <= 0)
        return {};
    return name.data();
}

} // namespace

VirtualKeymap::VirtualKeymap() : m_keys(256, 0)
{
    std::string codes;
    std::string symbols;
    std::uint32_t next = kFirstKeycode;
    for (std::uint16_t virtualKey = 1; virtualKey < 256; ++virtualKey) {
        const std::string name = keysymName(x11::KeysymForVirtualKey(virtualKey));
        if (name.empty())
            continue;
        const std::string number = std::to_string(next);
        codes.append("    <K").append(number).append("> = ").append(number).append(";\n");
        symbols.append("    key <K").append(number).append("> { [ ").append(name).append(" ] };\n");
        m_keys[virtualKey] = next - 8;
        ++next;
    }
    symbols.append("    modifier_map Control { <K")
        .append(std::to_string(m_keys[kControlVirtualKey] + 8))
        .append("> };\n");
    m_text = "xkb_keymap {\nxkb_keycodes \"tern\" {\n    minimum = 8;\n    maximum = 255;\n";
    m_text += codes;
    m_text += "};\n"
              "xkb_types \"tern\" { include \"complete\" };\n"
              "xkb_compatibility \"tern\" { include \"complete\" };\n"
              "xkb_symbols \"tern\" {\n";
    m_text += symbols;
    m_text += "};\n};\n";
}

std::uint32_t VirtualKeymap::keyOf(std::uint16_t virtualKey) const
{
    return virtualKey < m_keys.size() ? m_keys[virtualKey] : 0;
}

std::uint32_t VirtualKeymap::controlKey() const
{
    return m_keys[kControlVirtualKey];
}

} // namespace tern::platform::wayland
