// Our virtual keyboard's layout, compiled as the compositor and the receiving window compile it.
#include "platform/wayland/VirtualKeymap.h"

#include <gtest/gtest.h>

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace tern::platform::wayland {
namespace {

TEST(VirtualKeymapTest, CompilesWithEachKeyOnItsSymbolAndControlAsModifier)
{
    const VirtualKeymap keymap;
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    ASSERT_TRUE(context);
    const std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> compiled(
        xkb_keymap_new_from_string(context.get(), keymap.text().c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                   XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    ASSERT_TRUE(compiled) << keymap.text();

    const std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(xkb_state_new(compiled.get()),
                                                                       &xkb_state_unref);
    struct Case
    {
        std::uint16_t virtualKey;
        xkb_keysym_t keysym;
    };
    for (const Case& c :
         {Case{'C', XKB_KEY_c}, Case{'V', XKB_KEY_v}, Case{'A', XKB_KEY_a}, Case{'0', XKB_KEY_0},
          Case{0x2D, XKB_KEY_Insert}, Case{0x70, XKB_KEY_F1}, Case{0x11, XKB_KEY_Control_L}}) {
        const std::uint32_t key = keymap.keyOf(c.virtualKey);
        ASSERT_NE(key, 0U) << c.virtualKey;
        EXPECT_EQ(xkb_state_key_get_one_sym(state.get(), key + 8), c.keysym) << c.virtualKey;
    }
    EXPECT_EQ(keymap.keyOf(0x07), 0U) << "a virtual key without a symbol has no key";
    EXPECT_EQ(keymap.controlKey(), keymap.keyOf(0x11));
    EXPECT_EQ(xkb_keymap_mod_get_index(compiled.get(), XKB_MOD_NAME_CTRL), 2U)
        << "the mask sent with the keys is that of modifier 2";
    xkb_state_update_key(state.get(), keymap.controlKey() + 8, XKB_KEY_DOWN);
    EXPECT_EQ(xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED), VirtualKeymap::kControlMask);
}

} // namespace
} // namespace tern::platform::wayland
