// Share Screen, Share Current Window, Annotate & Share Area and the retry of a failed share, through
// the tray's actions, over a fake screen of two monitors and a real service.
#include "ShellTestSupport.h"

#include "annotate/TNewButton.h"
#include "annotate/TfClip.h"
#include "annotate/TfToolBox.h"
#include "clipboard/BitmapFile.h"
#include "shell/CommandDispatcher.h"
#include "util/TextEncoding.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tern::test {
namespace {

constexpr platform::WindowHandle kFrontWindow = 42;

// Two monitors whose virtual desktop starts left of and above the primary one: every pixel holds its
// own coordinates, so any crop can be checked pixel by pixel.
platform::ScreenPicture TwoMonitors()
{
    platform::ScreenPicture desktop;
    desktop.left = -1280;
    desktop.top = -56;
    desktop.width = 3200;
    desktop.height = 1136;
    desktop.pixels.resize(static_cast<std::size_t>(desktop.width) * desktop.height);
    for (int y = 0; y < desktop.height; ++y)
        for (int x = 0; x < desktop.width; ++x)
            desktop.pixels[static_cast<std::size_t>(y) * desktop.width + x] =
                0xFF000000U | static_cast<std::uint32_t>(x % 256) << 16 |
                static_cast<std::uint32_t>(y % 256) << 8 |
                static_cast<std::uint32_t>((x / 256 + y / 256 * 16) % 256);
    return desktop;
}

// The colour the fake desktop shows at virtual-desktop point (x, y), as RGB bytes.
std::array<std::uint8_t, 3> DesktopColor(int x, int y)
{
    const int column = x + 1280;
    const int row = y + 56;
    return {static_cast<std::uint8_t>(column % 256), static_cast<std::uint8_t>(row % 256),
            static_cast<std::uint8_t>((column / 256 + row / 256 * 16) % 256)};
}

std::array<std::uint8_t, 3> PixelAt(const platform::Bitmap& bitmap, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * bitmap.width + x) * 3;
    return {bitmap.rgb[at], bitmap.rgb[at + 1], bitmap.rgb[at + 2]};
}

class CaptureSharesTest : public ::testing::Test
{
protected:
    CaptureSharesTest()
    {
        harness.screen.desktop = TwoMonitors();
        harness.screen.frames[kFrontWindow] = {100, -40, 640, 480};
        harness.focus.windows = {kFrontWindow};
        harness.focus.foreground = kFrontWindow;
        serviceHost = harness.loader().conf().ServiceHost;
    }

    // The picture that the share put on the clipboard before its link replaced it.
    const platform::Bitmap& sharedPicture() const
    {
        for (const auto& write : harness.clipboard.writes)
            for (const auto& entry : write)
                if (const auto* picture = std::get_if<platform::Bitmap>(&entry.data))
                    return *picture;
        throw std::runtime_error("no picture was put on the clipboard");
    }
    bool linkOnClipboard()
    {
        const std::string& link = harness.shares().LastLink();
        const platform::ClipboardEntry* text = harness.clipboard.find(platform::kFormatUnicodeText);
        return text && link.starts_with(serviceHost + "/d/") && harness.clipboard.content.size() == 1 &&
               std::get<std::string>(text->data) == Utf16LeTextBlock(link) &&
               !harness.balloons.shown.empty() &&
               harness.balloons.shown.back().text == harness.linkStoredText();
    }
    bool snapshotKept() const { return std::filesystem::exists(harness.lastSnapshotPath()); }
    // Runs `step` on the selector once it shows (after the capture delay), within 5 seconds.
    void onSelector(std::function<void(TfClip&)> step)
    {
        auto* poll = new QTimer(&harness.form());
        auto tries = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, step = std::move(step)] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* selector = qobject_cast<TfClip*>(widget); selector && selector->isVisible()) {
                    poll->deleteLater();
                    poll->stop();
                    return step(*selector);
                }
            if (++*tries == 100) {
                poll->deleteLater();
                poll->stop();
                ADD_FAILURE() << "no selector is open";
            }
        });
        poll->start(50);
    }

    ShellHarness harness;
    std::string serviceHost;
};

TEST_F(CaptureSharesTest, ScreenAndWindowSharesCaptureExactlyTheirRectangle)
{
    struct Case
    {
        const char* action;
        platform::ScreenRect rect;
    };
    const Case cases[] = {{"_aShareScr", {-1280, -56, 3200, 1136}}, {"_aShareCurWin", {100, -40, 640, 480}}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.action);
        harness.clipboard.writes.clear();
        harness.trigger(entry.action);
        const platform::Bitmap& picture = sharedPicture();
        ASSERT_EQ(picture.width, entry.rect.width);
        ASSERT_EQ(picture.height, entry.rect.height);
        for (const auto& [x, y] :
             {std::pair{0, 0}, {entry.rect.width - 1, entry.rect.height - 1}, {517, 301}})
            EXPECT_EQ(PixelAt(picture, x, y), DesktopColor(entry.rect.left + x, entry.rect.top + y))
                << x << "," << y;
        EXPECT_TRUE(linkOnClipboard());
        EXPECT_FALSE(snapshotKept()) << "the picture of a finished share is not kept";
    }
}

TEST_F(CaptureSharesTest, FailedShareKeepsThePictureAndRetryOfferedByTheNextCommandSharesIt)
{
    harness.loader().conf().Apply({.ServiceHost = "http://127.0.0.1:1"}); // nobody listens
    harness.trigger("_aShareScr");
    EXPECT_EQ(harness.balloons.shown.back().icon, QStringLiteral("ERROR"));
    ASSERT_TRUE(snapshotKept());
    const platform::Bitmap kept = LoadBitmapFile(harness.lastSnapshotPath());
    EXPECT_EQ(kept.rgb, sharedPicture().rgb);
    EXPECT_EQ(std::filesystem::status(harness.lastSnapshotPath()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(std::holds_alternative<platform::Bitmap>(harness.clipboard.content.at(0).data))
        << "the clipboard keeps the captured picture";

    // The service is back; the next command asks first, and Retry shares the kept picture instead.
    harness.loader().conf().Apply({.ServiceHost = serviceHost});
    harness.screen.captures = 0;
    harness.clipboard.writes.clear();
    harness.trigger("_aShareCurWin");
    EXPECT_EQ(harness.balloons.shown.back().text, harness.shownText("GLOBAL", "mReupload"));
    harness.click(2);
    EXPECT_EQ(harness.screen.captures, 0) << "the held command does not run";
    EXPECT_EQ(sharedPicture().rgb, kept.rgb);
    EXPECT_TRUE(linkOnClipboard());
    EXPECT_FALSE(snapshotKept());
}

TEST_F(CaptureSharesTest, UnreadableKeptPictureIsReportedOnceAndRemoved)
{
    for (const char* bytes : {"BM left over", "GIF89a", ""}) {
        std::ofstream(harness.lastSnapshotPath(), std::ios::binary) << bytes;
        harness.trigger("_aShareScr");
        harness.click(2);
        EXPECT_EQ(harness.balloons.shown.back().icon, QStringLiteral("ERROR"));
        EXPECT_FALSE(snapshotKept());
        EXPECT_TRUE(harness.clipboard.writes.empty()) << "nothing was shared";
    }
}

TEST_F(CaptureSharesTest, LongDelayIsAnnouncedAndEndingTheProgramCapturesNothing)
{
    harness.keys.shiftDown = true; // ten seconds
    QTimer::singleShot(300, [this] { harness.form().dispatcher().Terminate(); });
    harness.trigger("_aShareScr");
    ASSERT_FALSE(harness.balloons.shown.empty());
    EXPECT_EQ(harness.balloons.shown.front().text, harness.shownText("GLOBAL", "mDelayedCapture"));
    EXPECT_EQ(harness.screen.captures, 0);
    EXPECT_TRUE(harness.clipboard.writes.empty());
    EXPECT_FALSE(snapshotKept());
}

TEST_F(CaptureSharesTest, AreaShareSharesTheSelectionAndKeepsPaletteChoicesEvenWhenCancelled)
{
    TConfStore& conf = harness.loader().conf();
    conf.Apply({.CurColor = 0});
    conf.Apply({.CurFont = 0});
    conf.Apply({.CurLine = 7}); // out of range in the settings: clamped, never drawn absurdly

    // Cancelled after changing the colour: nothing is shared, the colour is kept.
    onSelector([](TfClip& selector) {
        selector.SetCurColor(2);
        QTest::keyClick(&selector, Qt::Key_Escape);
    });
    harness.trigger("_aShareArea");
    EXPECT_TRUE(harness.clipboard.writes.empty());
    EXPECT_EQ(conf.CurColor, 2);
    EXPECT_EQ(conf.CurLine, 2);
    EXPECT_FALSE(snapshotKept());

    // Confirmed on a selection: the selected part of the frozen desktop is shared.
    onSelector([](TfClip& selector) {
        selector.SetSelection(TRect{1300, 100, 1700, 400});
        selector.ToolBox().UploadButton()->click();
    });
    harness.trigger("_aShareArea");
    const platform::Bitmap& picture = sharedPicture();
    ASSERT_EQ(picture.width, 400);
    ASSERT_EQ(picture.height, 300);
    EXPECT_EQ(PixelAt(picture, 0, 0), DesktopColor(-1280 + 1300, -56 + 100));
    EXPECT_TRUE(linkOnClipboard());
    EXPECT_FALSE(snapshotKept());
}

} // namespace
} // namespace tern::test
