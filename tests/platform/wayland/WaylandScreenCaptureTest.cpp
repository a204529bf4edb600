// Screen pictures through screen copy against grim's of the same screens: the same pixels, laid out
// by the outputs' logical positions, with our test window in them.
#include "WaylandTestSupport.h"

#include "platform/wayland/WaylandScreenCapture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tern::platform::wayland {
namespace {

using test::HaveCompositor;
using test::RunTool;
using test::TestWindow;
using test::WaitUntil;

constexpr std::uint32_t kWindowColour = 0xFF20C040;

QImage grimPicture()
{
    const std::optional<QByteArray> png = RunTool(QStringLiteral("grim"), {QStringLiteral("-")});
    return png ? QImage::fromData(*png).convertToFormat(QImage::Format_RGB32) : QImage();
}

std::size_t pixelsOf(const ScreenPicture& picture, std::uint32_t colour)
{
    return static_cast<std::size_t>(std::count(picture.pixels.begin(), picture.pixels.end(), colour));
}

// The pixels of `picture` that differ from grim's at the same place of the virtual desktop.
std::size_t differencesFrom(const ScreenPicture& picture, const QImage& grim, const ScreenRect& desktop)
{
    std::size_t differences = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int gx = picture.left + x - desktop.left;
            const int gy = picture.top + y - desktop.top;
            const bool outside = gx < 0 || gy < 0 || gx >= grim.width() || gy >= grim.height();
            const std::uint32_t expected = outside ? 0xFF000000U : (grim.pixel(gx, gy) | 0xFF000000U);
            differences += picture.pixels[static_cast<std::size_t>(y) * picture.width + x] != expected;
        }
    }
    return differences;
}

TEST(WaylandScreenCaptureTest, PictureOfEveryOutputIsGrimsWithTheWindowInIt)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    WaylandScreenCapture capture;
    const ScreenRect desktop = capture.virtualDesktop();
    ASSERT_FALSE(desktop.empty());
    TestWindow window(QStringLiteral("tern colour"), QStringLiteral("#20c040"));
    ASSERT_TRUE(window.waitForLine(QStringLiteral("painted")));
    ScreenPicture picture;
    // The compositor shows the window with its next frame.
    ASSERT_TRUE(WaitUntil([&] {
        picture = capture.capture(desktop);
        return pixelsOf(picture, kWindowColour) >= 100 * 100;
    }));
    EXPECT_EQ(picture.rect(), desktop);
    // Saved for review when TERN_ARTIFACTS_DIR is set.
    if (const QString folder = qEnvironmentVariable("TERN_ARTIFACTS_DIR"); !folder.isEmpty()) {
        QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
               QImage::Format_RGB32)
            .save(folder + QStringLiteral("/wayland-share-screen.png"));
    }
    const QImage grim = grimPicture();
    ASSERT_EQ(grim.width(), desktop.width);
    ASSERT_EQ(grim.height(), desktop.height);
    EXPECT_EQ(differencesFrom(picture, grim, desktop), 0U);

    // A rectangle reaching past the screens: the screens' part as grim has it, the rest black.
    const ScreenRect across{desktop.left + desktop.width - 30, desktop.top - 10, 50, 40};
    const ScreenPicture edge = capture.capture(across);
    EXPECT_EQ(edge.rect(), across);
    EXPECT_EQ(differencesFrom(edge, grim, desktop), 0U);
    EXPECT_TRUE(capture.capture(ScreenRect{0, 0, 0, 5}).empty());
}

TEST(WaylandScreenCaptureTest, ScaledOutputLiesAtItsLogicalSize)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    if (qgetenv("SWAYSOCK").isEmpty()) {
        GTEST_SKIP() << "needs sway to change an output's scale";
    }
    WaylandScreenCapture capture;
    const ScreenRect before = capture.virtualDesktop();
    TestWindow window(QStringLiteral("tern colour"), QStringLiteral("#20c040"));
    ASSERT_TRUE(window.waitForLine(QStringLiteral("painted")));
    ASSERT_TRUE(RunTool(QStringLiteral("swaymsg"), {QStringLiteral("output * scale 2")}));
    ScreenRect scaled;
    EXPECT_TRUE(WaitUntil([&] { return (scaled = capture.virtualDesktop()).height == before.height / 2; }));
    // Every output shows half as many logical pixels each way; the picture is in logical pixels, the
    // window's colour scaled down with it.
    ScreenPicture picture;
    EXPECT_TRUE(WaitUntil([&] {
        picture = capture.capture(scaled);
        return pixelsOf(picture, kWindowColour) >= 50 * 50;
    }));
    EXPECT_EQ(picture.rect(), scaled);
    ASSERT_TRUE(RunTool(QStringLiteral("swaymsg"), {QStringLiteral("output * scale 1")}));
    EXPECT_TRUE(WaitUntil([&] { return capture.virtualDesktop() == before; }));
}

} // namespace
} // namespace tern::platform::wayland
