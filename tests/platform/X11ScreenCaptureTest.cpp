#include "X11ShellTestSupport.h"
#include "X11TestSupport.h"

#include "platform/x11/X11ScreenCapture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>

#include <gtest/gtest.h>

using tern::platform::ScreenPicture;
using tern::platform::ScreenRect;
using tern::platform::x11::X11ScreenCapture;
using tern::test::WaitUntil;

namespace {

constexpr QRgb kWindowColor = 0xFF2080C0U;

// A top-level window of one colour.
class ColourWindow final : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(QRect(QPoint(0, 0), size()), kWindowColor);
    }
};

std::uint32_t PixelAt(const ScreenPicture& picture, int x, int y)
{
    return picture.pixels[static_cast<std::size_t>(y - picture.top) * picture.width + (x - picture.left)];
}

class X11ScreenCaptureTest : public testing::Test
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

TEST_F(X11ScreenCaptureTest, GrabsTheWholeVirtualDesktopAndAWindowWithItsFrame)
{
    X11ScreenCapture capture;
    const ScreenRect desktop = capture.virtualDesktop();
    const QRect virtualGeometry = QGuiApplication::primaryScreen()->virtualGeometry();
    EXPECT_EQ(desktop, (ScreenRect{virtualGeometry.x(), virtualGeometry.y(), virtualGeometry.width(),
                                   virtualGeometry.height()}));

    ColourWindow window;
    window.setGeometry(300, 200, 240, 160);
    window.show();
    const auto centre = [&] { return window.geometry().center(); };
    ScreenPicture whole;
    ASSERT_TRUE(WaitUntil([&] {
        whole = capture.capture(desktop);
        return window.isExposed() && !whole.empty() &&
               PixelAt(whole, centre().x(), centre().y()) == kWindowColor;
    }));
    EXPECT_EQ(whole.rect(), desktop);
    EXPECT_EQ(whole.pixels.size(), static_cast<std::size_t>(desktop.width) * desktop.height);

    // The frame rectangle holds the client area and the window manager's decoration around it.
    ScreenRect frame;
    ASSERT_TRUE(WaitUntil([&] {
        frame = capture.windowFrameRect(window.winId());
        return frame.height > window.geometry().height();
    }));
    const QRect client = window.geometry();
    EXPECT_LE(frame.left, client.x());
    EXPECT_LT(frame.top, client.y());
    EXPECT_GE(frame.left + frame.width, client.x() + client.width());
    EXPECT_GE(frame.top + frame.height, client.y() + client.height());
    const ScreenPicture framed = capture.capture(frame);
    EXPECT_EQ(framed.rect(), frame);
    EXPECT_EQ(PixelAt(framed, centre().x(), centre().y()), kWindowColor);

    EXPECT_TRUE(capture.windowFrameRect(0).empty());
    EXPECT_TRUE(capture.windowFrameRect(0x7FFFFFF1).empty());
    EXPECT_TRUE(capture.capture({10, 10, 0, 5}).empty());
    // Off the desktop the picture is black, and a window partly off it keeps its size.
    const ScreenPicture outside = capture.capture({-100, -100, 50, 50});
    ASSERT_EQ(outside.pixels.size(), 2500U);
    EXPECT_EQ(outside.pixels.front(), 0xFF000000U);
    EXPECT_EQ(outside.pixels.back(), 0xFF000000U);
    const ScreenPicture straddling = capture.capture({desktop.left - 10, desktop.top, 20, 10});
    ASSERT_EQ(straddling.pixels.size(), 200U);
    EXPECT_EQ(straddling.pixels[0], 0xFF000000U);
    EXPECT_EQ(straddling.pixels[15], whole.pixels[5]);
}

} // namespace
