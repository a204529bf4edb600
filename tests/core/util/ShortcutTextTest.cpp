#include "util/ShortcutText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tern {
namespace {

TEST(ShortcutText, ModifiersComeInTheOrderShiftCtrlAltBeforeTheKey)
{
    const std::vector<std::pair<std::uint16_t, std::string>> cases{
        {0x6059, "Shift+Ctrl+Y"}, // the default hotkey
        {0x0059, "Y"},
        {0x2041, "Shift+A"},
        {0x8000 | 0x4000 | 0x2000 | 0x5A, "Shift+Ctrl+Alt+Z"},
        {0x8000 | 0x2000 | 0x31, "Shift+Alt+1"},
        {0xC000 | 0x70, "Ctrl+Alt+F1"},
    };
    for (const auto& [shortcut, text] : cases)
        EXPECT_EQ(ShortcutText(shortcut), text) << std::hex << shortcut;
}

TEST(ShortcutText, NamesEveryKindOfKey)
{
    const std::vector<std::pair<std::uint16_t, std::string>> cases{
        {'0', "0"},          {'9', "9"},       {'A', "A"},       {0x70, "F1"},   {0x7B, "F12"},
        {0x87, "F24"},       {0x20, "Space"},  {0x0D, "Enter"},  {0x1B, "Esc"},  {0x09, "Tab"},
        {0x08, "Backspace"}, {0x2D, "Insert"}, {0x2E, "Delete"}, {0x24, "Home"}, {0x23, "End"},
        {0x21, "PgUp"},      {0x22, "PgDn"},   {0x25, "Left"},   {0x26, "Up"},   {0x27, "Right"},
        {0x28, "Down"},      {0x60, "Num 0"},  {0x69, "Num 9"},  {0xBA, ";"},    {0xBB, "="},
        {0xBC, ","},         {0xBD, "-"},      {0xBE, "."},      {0xBF, "/"},    {0xC0, "`"},
        {0xDB, "["},         {0xDC, "\\"},     {0xDD, "]"},      {0xDE, "'"},
    };
    for (const auto& [key, name] : cases)
        EXPECT_EQ(ShortcutText(static_cast<std::uint16_t>(0x4000 | key)), "Ctrl+" + name) << std::hex << key;
}

TEST(ShortcutText, KeyWithoutANameGivesNoTextEvenWithModifiers)
{
    // 0 (no key), a mouse button, the bare modifier keys, the first code past F24, codes above 0xFF.
    for (const std::uint16_t key : {0x00, 0x01, 0x10, 0x11, 0x88, 0x1FFF})
        EXPECT_EQ(ShortcutText(static_cast<std::uint16_t>(0x6000 | key)), "") << std::hex << key;
    // Bits above the key mask are modifiers, not part of the code: 0x2000 is Shift with no key.
    EXPECT_EQ(ShortcutText(0x2000), "");
}

} // namespace
} // namespace tern
