#include "X11FocusTestWindow.h"
#include "X11ShellTestSupport.h"

#include "platform/x11/X11KeyInjector.h"
#include "platform/x11/X11WindowFocus.h"

#include <gtest/gtest.h>

using tern::platform::x11::X11KeyInjector;
using tern::test::FocusTestWindow;
using tern::test::WaitUntil;
using tern::test::Xdotool;

namespace {

// Shows `window` and makes it the active window, which then receives the injected keys.
bool showInFront(FocusTestWindow& window)
{
    window.show();
    tern::platform::x11::X11WindowFocus focus;
    return WaitUntil([&] { return window.isExposed(); }) && focus.forceForegroundWindow(window.winId()) &&
           WaitUntil([&] { return window.isActive(); });
}

TEST(X11KeyInjector, CtrlKeyReachesTheFocusedWindowWithShiftReleased)
{
    if (!tern::test::HaveDisplay() || !tern::test::HaveWindowManager())
        GTEST_SKIP() << "no X display with an EWMH window manager";
    FocusTestWindow window(QStringLiteral("key target"));
    ASSERT_TRUE(showInFront(window));

    // The user still holds Shift (and Alt) from choosing the menu item: the injected batch lets go of
    // them, so the window sees Ctrl+C and not Ctrl+Shift+C.
    X11KeyInjector injector;
    ASSERT_TRUE(Xdotool({QStringLiteral("keydown"), QStringLiteral("shift")}));
    ASSERT_TRUE(WaitUntil([&] { return injector.isShiftDown(); }));
    window.keys.clear();
    EXPECT_TRUE(injector.sendCtrlKey('C'));
    const auto sawCtrlC = [&] {
        for (const FocusTestWindow::Key& key : window.keys)
            if (key.press && key.key == Qt::Key_C)
                return true;
        return false;
    };
    const bool received = WaitUntil(sawCtrlC);
    const bool shiftAfter = injector.isShiftDown();
    Xdotool({QStringLiteral("keyup"), QStringLiteral("shift")});
    ASSERT_TRUE(received);
    EXPECT_FALSE(shiftAfter);

    // Order as received: Shift released, Control pressed, C pressed with Control, C released, Control
    // released (a key the server already considered released produces no event).
    ASSERT_TRUE(WaitUntil([&] {
        return !window.keys.empty() && !window.keys.back().press && window.keys.back().key == Qt::Key_Control;
    }));
    std::vector<std::pair<bool, int>> sequence;
    for (const FocusTestWindow::Key& key : window.keys)
        sequence.emplace_back(key.press, key.key);
    const std::vector<std::pair<bool, int>> expected = {{false, Qt::Key_Shift},
                                                        {true, Qt::Key_Control},
                                                        {true, Qt::Key_C},
                                                        {false, Qt::Key_C},
                                                        {false, Qt::Key_Control}};
    EXPECT_EQ(sequence, expected);
    for (const FocusTestWindow::Key& key : window.keys) {
        if (key.key == Qt::Key_C) {
            EXPECT_EQ(key.modifiers, Qt::ControlModifier);
        }
    }
}

// The menu letter that chose Remote Copy may still be down when the command runs: the batch waits for
// it (Shift held does not count), and Ctrl+C arrives whole once it is up.
TEST(X11KeyInjector, BatchWaitsUntilTheUsersKeyIsUp)
{
    if (!tern::test::HaveDisplay() || !tern::test::HaveWindowManager())
        GTEST_SKIP() << "no X display with an EWMH window manager";
    FocusTestWindow window(QStringLiteral("held key target"));
    ASSERT_TRUE(showInFront(window));

    X11KeyInjector injector;
    ASSERT_FALSE(injector.otherKeysDown());
    ASSERT_TRUE(Xdotool({QStringLiteral("keydown"), QStringLiteral("shift")}));
    EXPECT_FALSE(injector.otherKeysDown()) << "Shift is released by the batch itself";
    ASSERT_TRUE(Xdotool({QStringLiteral("keydown"), QStringLiteral("c")}));
    ASSERT_TRUE(injector.otherKeysDown());
    window.keys.clear();
    EXPECT_TRUE(injector.sendCtrlKey('C'));
    const auto sawCtrlC = [&] {
        for (const FocusTestWindow::Key& key : window.keys)
            if (key.press && key.key == Qt::Key_C && key.modifiers == Qt::ControlModifier)
                return true;
        return false;
    };
    const bool earlyCopy = WaitUntil(sawCtrlC, 300);
    ASSERT_TRUE(Xdotool({QStringLiteral("keyup"), QStringLiteral("c")}));
    Xdotool({QStringLiteral("keyup"), QStringLiteral("shift")});
    EXPECT_FALSE(earlyCopy) << "Ctrl+C was sent while C was still down";
    EXPECT_TRUE(WaitUntil(sawCtrlC));
    EXPECT_FALSE(injector.otherKeysDown());
}

} // namespace
