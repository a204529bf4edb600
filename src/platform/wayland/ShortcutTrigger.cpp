#include "platform/wayland/ShortcutTrigger.h"

#include "platform/x11/VirtualKeyMap.h"
#include "util/ShortcutBits.h"

#include <xkbcommon/xkbcommon.h>

#include <array>

namespace tern::platform::wayland {

std::string ShortcutTrigger(std::uint16_t shortcut)
{
    const std::uint32_t keysym =
        x11::KeysymForVirtualKey(static_cast<std::uint16_t>(shortcut & kShortcutKeyBits));
    std::array<char, 64> name{};
    if (keysym == 0 || xkb_keysym_get_name(keysym, name.data(), name.size()) <= 0)
        return {};
    std::string trigger;
    if ((shortcut & kShortcutCtrlFlag) != 0)
        trigger += "CTRL+";
    if ((shortcut & kShortcutAltFlag) != 0)
        trigger += "ALT+";
    if ((shortcut & kShortcutShiftFlag) != 0)
        trigger += "SHIFT+";
    if (trigger.empty())
        return {};
    return trigger + name.data();
}

} // namespace tern::platform::wayland
