#include "X11FocusTestWindow.h"
#include "X11ShellTestSupport.h"

#include "platform/x11/X11WindowFocus.h"

#include <gtest/gtest.h>

using tern::platform::x11::X11WindowFocus;
using tern::test::FocusTestWindow;
using tern::test::WaitUntil;

namespace {

class X11WindowFocusTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!tern::test::HaveDisplay())
            GTEST_SKIP() << "no X display";
        if (!tern::test::HaveWindowManager())
            GTEST_SKIP() << "no EWMH window manager";
    }
};

TEST_F(X11WindowFocusTest, ForegroundSwitchesBetweenWindowsAndRestoresAMinimisedOne)
{
    FocusTestWindow first(QStringLiteral("focus first"));
    FocusTestWindow second(QStringLiteral("focus second"));
    // The window manager activates each new window; waiting for that keeps its own activations from
    // overtaking ours below.
    X11WindowFocus focus;
    first.show();
    ASSERT_TRUE(WaitUntil([&] { return first.isActive() && focus.foregroundWindow() == first.winId(); }));
    second.show();
    ASSERT_TRUE(WaitUntil([&] { return second.isActive() && focus.foregroundWindow() == second.winId(); }));

    for (FocusTestWindow* window : {&first, &second, &first}) {
        SCOPED_TRACE(window->title().toStdString());
        ASSERT_TRUE(focus.forceForegroundWindow(window->winId()));
        EXPECT_EQ(focus.foregroundWindow(), window->winId());
        EXPECT_TRUE(WaitUntil([&] { return window->isActive(); }));
    }
    // Already in front: answered at once.
    EXPECT_TRUE(focus.forceForegroundWindow(first.winId()));

    second.showMinimized();
    ASSERT_TRUE(WaitUntil([&] { return !second.isExposed(); }));
    ASSERT_TRUE(focus.forceForegroundWindow(second.winId()));
    EXPECT_EQ(focus.foregroundWindow(), second.winId());
    EXPECT_TRUE(WaitUntil([&] { return second.isExposed(); }));
}

TEST_F(X11WindowFocusTest, NoWindowIsRefused)
{
    X11WindowFocus focus;
    const tern::platform::WindowHandle before = focus.foregroundWindow();
    EXPECT_FALSE(focus.forceForegroundWindow(0));
    EXPECT_FALSE(focus.forceForegroundWindow(0x7FFFFFF1));       // no such window
    EXPECT_FALSE(focus.forceForegroundWindow(0x1'0000'0001ULL)); // not an X window id
    EXPECT_EQ(focus.foregroundWindow(), before);
}

} // namespace
