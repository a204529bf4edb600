#include "X11ShellTestSupport.h"

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "platform/x11/X11Session.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <vector>

using tern::platform::x11::KeycodeForKeysym;
using tern::platform::x11::NumLockMask;
using tern::platform::x11::X11GlobalHotkeys;

namespace {

constexpr std::uint16_t kCtrlShiftY = 0x6059;
constexpr std::uint16_t kCtrlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;

class X11GlobalHotkeysTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!tern::test::HaveDisplay())
            GTEST_SKIP() << "no X display";
        ASSERT_NE(NumLockMask(), 0) << "Num_Lock is bound to no modifier";
        m_lockVariants = {0, XCB_MOD_MASK_LOCK, NumLockMask(),
                          static_cast<std::uint16_t>(NumLockMask() | XCB_MOD_MASK_LOCK)};
    }

    // Whether the other client could grab every lock variant of the combination (released again).
    bool otherCanGrabAnyVariant(std::uint8_t keycode, std::uint16_t modifiers)
    {
        tern::test::OtherClient other;
        bool any = false;
        for (const std::uint16_t lock : m_lockVariants)
            if (other.grab(keycode, static_cast<std::uint16_t>(modifiers | lock)))
                any = true;
        return any;
    }

    bool otherCanGrabEveryVariant(std::uint8_t keycode, std::uint16_t modifiers)
    {
        tern::test::OtherClient other;
        bool all = true;
        for (const std::uint16_t lock : m_lockVariants)
            all = other.grab(keycode, static_cast<std::uint16_t>(modifiers | lock)) && all;
        return all;
    }

    std::vector<std::uint16_t> m_lockVariants;
};

TEST_F(X11GlobalHotkeysTest, RegisteredHotkeyIsTakenForOthersUntilUnregistered)
{
    const std::uint8_t y = KeycodeForKeysym(XK_y);
    X11GlobalHotkeys hotkeys;
    ASSERT_TRUE(hotkeys.registerHotkey(1, kCtrlShiftY));
    EXPECT_FALSE(otherCanGrabAnyVariant(y, kCtrlShift));
    // Registering the same combination under a second id would lose it when either is released.
    EXPECT_FALSE(hotkeys.registerHotkey(2, kCtrlShiftY));

    hotkeys.unregisterHotkey(1);
    EXPECT_TRUE(otherCanGrabEveryVariant(y, kCtrlShift));
    hotkeys.unregisterHotkey(1); // nothing registered: no effect

    // Re-registering an id replaces its combination and frees the old one.
    ASSERT_TRUE(hotkeys.registerHotkey(1, kCtrlShiftY));
    ASSERT_TRUE(hotkeys.registerHotkey(1, 0x4000 | 0x8000 | 0x76)); // Ctrl+Alt+F7
    EXPECT_TRUE(otherCanGrabEveryVariant(y, kCtrlShift));
    EXPECT_FALSE(otherCanGrabAnyVariant(KeycodeForKeysym(XK_F7), XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
}

TEST_F(X11GlobalHotkeysTest, CombinationHeldElsewhereIsRefusedAndNothingStaysGrabbed)
{
    const std::uint8_t f8 = KeycodeForKeysym(XK_F8);
    const std::uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    const std::uint16_t ctrlAltF8 = 0x4000 | 0x8000 | 0x77;
    X11GlobalHotkeys hotkeys;
    {
        // Another program holds only the variant with both locks on: the other variants were granted
        // to us before the refusal and must be given back.
        tern::test::OtherClient holder;
        ASSERT_TRUE(holder.grab(f8, static_cast<std::uint16_t>(ctrlAlt | m_lockVariants.back())));
        EXPECT_FALSE(hotkeys.registerHotkey(1, ctrlAltF8));
        tern::test::OtherClient third;
        for (std::size_t i = 0; i + 1 < m_lockVariants.size(); ++i)
            EXPECT_TRUE(third.grab(f8, static_cast<std::uint16_t>(ctrlAlt | m_lockVariants[i]))) << i;
    }
    // Both other clients are gone: the combination is free now.
    EXPECT_TRUE(hotkeys.registerHotkey(1, ctrlAltF8));

    // A key with no equivalent here is refused.
    EXPECT_FALSE(hotkeys.registerHotkey(3, 0x4000 | 0x07));
}

TEST_F(X11GlobalHotkeysTest, PressUnderEveryLockStateReachesTheHandler)
{
    X11GlobalHotkeys hotkeys;
    std::vector<int> pressed;
    hotkeys.setHandler([&pressed](int id) { pressed.push_back(id); });
    ASSERT_TRUE(hotkeys.registerHotkey(1, kCtrlShiftY));

    struct LockState
    {
        const char* name;
        QStringList toggles;
    };
    const std::vector<LockState> states = {
        {"no lock", {}},
        {"Num Lock", {QStringLiteral("Num_Lock")}},
        {"Caps Lock", {QStringLiteral("Caps_Lock")}},
        {"Num Lock and Caps Lock", {QStringLiteral("Num_Lock"), QStringLiteral("Caps_Lock")}},
    };
    for (const LockState& state : states) {
        SCOPED_TRACE(state.name);
        for (const QString& toggle : state.toggles)
            ASSERT_TRUE(tern::test::Xdotool({QStringLiteral("key"), toggle}));
        const std::size_t before = pressed.size();
        ASSERT_TRUE(tern::test::Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+y")}));
        EXPECT_TRUE(tern::test::WaitUntil([&] { return pressed.size() > before; }, 5000));
        for (const QString& toggle : state.toggles)
            ASSERT_TRUE(tern::test::Xdotool({QStringLiteral("key"), toggle}));
    }
    EXPECT_EQ(pressed, std::vector<int>(states.size(), 1));

    // Once released, a press no longer reaches the handler.
    hotkeys.unregisterHotkey(1);
    ASSERT_TRUE(tern::test::Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+y")}));
    EXPECT_FALSE(tern::test::WaitUntil([&] { return pressed.size() > states.size(); }, 300));
}

} // namespace
