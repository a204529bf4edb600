// Keys typed through our virtual keyboard into a window of another client, and the window in front
// followed and changed through the toplevel list.
#include "WaylandTestSupport.h"

#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandKeyInjector.h"
#include "platform/wayland/WaylandScreenCapture.h"
#include "platform/wayland/WaylandWindowFocus.h"
#include "platform/wayland/WaylandWindowHandles.h"
#include "util/TextEncoding.h"

#include <gtest/gtest.h>

namespace tern::platform::wayland {
namespace {

using test::HaveCompositor;
using test::TestWindow;
using test::WaitUntil;

constexpr std::uint16_t kKeyA = 'A';
constexpr std::uint16_t kKeyC = 'C';
constexpr std::uint16_t kKeyV = 'V';

TEST(WaylandKeyInjectorTest, PastesAndCopiesInTheWindowInFront)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    WaylandClipboard clipboard;
    clipboard.setText("pasted by keys \xc3\xa9");
    TestWindow window(QStringLiteral("tern paste target"));
    ASSERT_TRUE(window.waitForLine(QStringLiteral("focus")));

    // The window takes keys once the compositor has given it the keyboard, which it reports to no one:
    // Ctrl+A, harmless when repeated, is pressed until the window's text shows selected.
    WaylandKeyInjector keys;
    bool selected = false;
    for (int attempt = 0; attempt < 10 && !selected; ++attempt) {
        ASSERT_TRUE(keys.sendCtrlKey(kKeyA));
        selected = window.waitForLine(QStringLiteral("selected:start"), 1, 500);
    }
    ASSERT_TRUE(selected);
    ASSERT_TRUE(keys.sendCtrlKey(kKeyV));
    EXPECT_TRUE(window.waitForLine(QString::fromUtf8("text:pasted by keys \xc3\xa9")));

    clipboard.setText("replaced");
    ASSERT_TRUE(keys.sendCtrlKey(kKeyA));
    ASSERT_TRUE(keys.sendCtrlKey(kKeyC));
    EXPECT_TRUE(WaitUntil([&] {
        return clipboard.data(kFormatUnicodeText) ==
               Utf16LeBytes(std::u16string(u"pasted by keys \u00e9") + u'\0');
    }));
    EXPECT_FALSE(keys.isShiftDown());
    // A virtual key with no symbol here sends nothing.
    EXPECT_FALSE(keys.sendCtrlKey(0x07));
}

TEST(WaylandWindowFocusTest, FollowsAndActivatesToplevels)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    WaylandWindowFocus focus;
    WaylandScreenCapture capture;
    TestWindow first(QStringLiteral("tern first"));
    ASSERT_TRUE(first.waitForLine(QStringLiteral("focus")));
    WindowHandle firstHandle = 0;
    ASSERT_TRUE(WaitUntil([&] { return (firstHandle = focus.foregroundWindow()) != 0; }));
    EXPECT_LT(firstHandle, kOutputHandle) << "a toplevel of the list, not an output";

    TestWindow second(QStringLiteral("tern second"));
    ASSERT_TRUE(second.waitForLine(QStringLiteral("focus")));
    WindowHandle secondHandle = 0;
    ASSERT_TRUE(WaitUntil([&] {
        secondHandle = focus.foregroundWindow();
        return secondHandle != 0 && secondHandle != firstHandle;
    }));

    ASSERT_TRUE(first.waitForLine(QStringLiteral("blur")));
    EXPECT_TRUE(focus.forceForegroundWindow(firstHandle));
    EXPECT_TRUE(first.waitForLine(QStringLiteral("focus"), 2));
    EXPECT_EQ(focus.foregroundWindow(), firstHandle);

    // A window stands for the output it shows on.
    const ScreenRect frame = capture.windowFrameRect(firstHandle);
    EXPECT_FALSE(frame.empty());
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_TRUE(capture.windowFrameRect(firstHandle + 1000).empty());
    EXPECT_FALSE(focus.forceForegroundWindow(firstHandle + 1000));
    EXPECT_FALSE(focus.forceForegroundWindow(0));
}

} // namespace
} // namespace tern::platform::wayland
