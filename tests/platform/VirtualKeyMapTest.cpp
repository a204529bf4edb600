#include "platform/x11/VirtualKeyMap.h"

#include <gtest/gtest.h>

#include <xcb/xproto.h>

#include <X11/keysym.h>

using tern::platform::x11::KeysymForVirtualKey;
using tern::platform::x11::ModifierMaskForShortcut;

TEST(VirtualKeyMap, MapsEachKeyFamilyToTheUnshiftedKeysym)
{
    const struct
    {
        std::uint16_t virtualKey;
        std::uint32_t keysym;
    } cases[] = {
        {'A', XK_a},
        {'Y', XK_y},
        {'Z', XK_z},
        {'0', XK_0},
        {'9', XK_9},
        {0x60, XK_KP_0},
        {0x69, XK_KP_9},
        {0x70, XK_F1},
        {0x87, XK_F24},
        {0x20, XK_space},
        {0x2D, XK_Insert},
        {0x2E, XK_Delete},
        {0x24, XK_Home},
        {0x23, XK_End},
        {0x21, XK_Prior},
        {0x22, XK_Next},
        {0x25, XK_Left},
        {0x28, XK_Down},
        {0x09, XK_Tab},
        {0x1B, XK_Escape},
        {0x0D, XK_Return},
        {0x08, XK_BackSpace},
        {0xBA, XK_semicolon},
        {0xBB, XK_equal},
        {0xBC, XK_comma},
        {0xBD, XK_minus},
        {0xBE, XK_period},
        {0xBF, XK_slash},
        {0xC0, XK_grave},
        {0xDB, XK_bracketleft},
        {0xDC, XK_backslash},
        {0xDD, XK_bracketright},
        {0xDE, XK_apostrophe},
        {0x11, XK_Control_L},
        // No equivalent: mouse buttons, undefined codes, beyond F24.
        {0x01, 0},
        {0x07, 0},
        {0x88, 0},
        {0x1FFF, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeysymForVirtualKey(c.virtualKey), c.keysym) << std::hex << c.virtualKey;
}

TEST(VirtualKeyMap, ShortcutFlagsBecomeCoreModifiers)
{
    EXPECT_EQ(ModifierMaskForShortcut(0x6059), XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(ModifierMaskForShortcut(0x8000 | 'A'), XCB_MOD_MASK_1);
    EXPECT_EQ(ModifierMaskForShortcut('A'), 0);
}
