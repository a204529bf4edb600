// The hotkey as the desktop portal's preferred trigger.
#include "platform/wayland/ShortcutTrigger.h"

#include <gtest/gtest.h>

namespace tern::platform::wayland {
namespace {

TEST(ShortcutTriggerTest, ModifiersThenTheKeysymNameOrNothing)
{
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0x6059, "CTRL+SHIFT+y"},         // Shift+Ctrl+Y, the default
        {0x8074, "ALT+F5"},               // Alt+F5
        {0xC063, "CTRL+ALT+KP_3"},        // Ctrl+Alt+Num 3
        {0x40BA, "CTRL+semicolon"},       // Ctrl+;
        {0xE021, "CTRL+ALT+SHIFT+Prior"}, // every modifier, PgUp
        {0x0059, ""},                     // a plain key is no session-wide shortcut
        {0x4007, ""},                     // a code without a key here
    };
    for (const auto& [shortcut, trigger] : cases)
        EXPECT_EQ(ShortcutTrigger(shortcut), trigger) << std::hex << shortcut;
}

} // namespace
} // namespace tern::platform::wayland
