// The dispatcher: the error text rule, the left-over capture question, one command at a time, and
// what ends the Share Clipboard wait.
#include "ShellTestSupport.h"

#include "clipboard/BitmapFile.h"

#include "shell/CommandDispatcher.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

namespace tern::test {
namespace {

using std::chrono::steady_clock;

TEST(CommandDispatcherTest, ErrorTextIsThePlainMessageOrTheConnectionTextWithTheTypeName)
{
    const std::string connection = "Problem: 100% %s %d %%";
    struct Case
    {
        std::function<void()> raise;
        std::string expected;
    };
    const Case cases[] = {
        {[] { throw Error("Nothing 50% %s copied."); }, "Nothing 50% %s copied."},
        {[] { throw NetworkError("Could not connect"); }, connection + " (NetworkError)"},
        {[] { throw JsonError("unexpected '<'"); }, connection + " (JsonError)"},
        {[] { throw StreamReadError("Stream read error"); }, connection + " (StreamReadError)"},
        {[] { throw FileError("cannot write"); }, connection + " (FileError)"},
        {[] { throw std::runtime_error("other"); }, connection + " (Exception)"},
    };
    for (const Case& entry : cases) {
        try {
            entry.raise();
        } catch (const std::exception& error) {
            EXPECT_EQ(CommandDispatcher::errorText(connection, error), entry.expected);
        }
    }
}

class DispatcherTest : public testing::Test
{
protected:
    // Runs `what` from the event loop `afterMs` later, as a menu choice or a balloon click would arrive
    // while a wait processes messages.
    void later(int afterMs, std::function<void()> what)
    {
        QTimer::singleShot(afterMs, [what = std::move(what)] { what(); });
    }

    void leaveSnapshot() { SaveBitmapFile(harness.lastSnapshotPath(), platform::Bitmap{1, 1, {1, 2, 3}}); }

    ShellHarness harness;
};

TEST_F(DispatcherTest, LeftOverCaptureIsAskedAboutBeforeTheCommandRuns)
{
    // Something stored to paste.
    harness.copyPuts({{platform::kFormatUnicodeText, Utf16LeTextBlock("stored text")}});
    harness.trigger("_aCopy");
    harness.keys.sent.clear();
    harness.clipboard.set({{platform::kFormatUnicodeText, Utf16LeTextBlock("local")}});
    harness.balloons.shown.clear();

    leaveSnapshot();
    harness.trigger("_aPaste");
    ASSERT_EQ(harness.balloons.shown.size(), 1U);
    const BalloonShown& question = harness.balloons.shown.back();
    EXPECT_EQ(question.text, harness.shownText("GLOBAL", "mReupload"));
    EXPECT_EQ(question.icon, QStringLiteral("WARNING"));
    EXPECT_EQ(question.button1, QString::fromStdString(harness.text("GLOBAL", "bCancel")));
    EXPECT_EQ(question.button2, QString::fromStdString(harness.text("GLOBAL", "bRetry")));
    EXPECT_TRUE(harness.keys.sent.empty());
    EXPECT_TRUE(harness.clipboard.writes.empty());

    // The question closes unanswered: the next command asks again.
    harness.trigger("_aPaste");
    ASSERT_EQ(harness.balloons.shown.size(), 2U);
    EXPECT_EQ(harness.balloons.shown.back().text, harness.shownText("GLOBAL", "mReupload"));

    // Cancel: the file goes and the held paste runs.
    harness.click(1);
    EXPECT_FALSE(std::filesystem::exists(harness.lastSnapshotPath()));
    ASSERT_EQ(harness.balloons.shown.size(), 3U);
    EXPECT_EQ(harness.balloons.shown.back().text, harness.shownText("GLOBAL", "mDataPasted"));
    EXPECT_EQ(harness.keys.sent, (std::vector<std::uint16_t>{'V'}));
    ASSERT_NE(harness.clipboard.find(platform::kFormatUnicodeText), nullptr);
    EXPECT_EQ(std::get<std::string>(harness.clipboard.find(platform::kFormatUnicodeText)->data),
              Utf16LeTextBlock("stored text"));
}

TEST_F(DispatcherTest, RetryOfTheLeftOverCaptureDropsTheHeldCommand)
{
    leaveSnapshot();
    harness.trigger("_aPaste");
    ASSERT_EQ(harness.balloons.shown.size(), 1U);
    harness.click(2);
    // The kept picture is shared again; the held paste never runs.
    ASSERT_EQ(harness.balloons.shown.size(), 2U);
    EXPECT_EQ(harness.balloons.shown.back().text, harness.linkStoredText());
    EXPECT_TRUE(harness.keys.sent.empty());
    EXPECT_FALSE(std::filesystem::exists(harness.lastSnapshotPath()));
}

TEST_F(DispatcherTest, CommandChosenWhileAnotherRunsIsRefused)
{
    QString balloonDuringCopy;
    harness.keys.onSend = [this, &balloonDuringCopy](std::uint16_t key) {
        if (key != 'C')
            return;
        // The user chooses Remote Paste while Remote Copy still waits for the clipboard.
        harness.trigger("_aPaste");
        balloonDuringCopy = harness.balloons.shown.empty() ? QString() : harness.balloons.shown.back().text;
        harness.clipboard.set({{platform::kFormatUnicodeText, Utf16LeTextBlock("copied")}});
    };
    harness.trigger("_aCopy");

    EXPECT_EQ(balloonDuringCopy, harness.shownText("GLOBAL", "mUploading"));
    EXPECT_EQ(harness.keys.sent, (std::vector<std::uint16_t>{'C'})) << "the paste must not run";
    ASSERT_EQ(harness.balloons.shown.size(), 2U);
    EXPECT_EQ(harness.balloons.shown[0].icon, QStringLiteral("INFO"));
    EXPECT_EQ(harness.balloons.shown[1].text, harness.shownText("GLOBAL", "mSelShared"));

    // Once it has ended, the next command runs.
    harness.keys.onSend = {};
    harness.trigger("_aPaste");
    EXPECT_EQ(harness.balloons.shown.back().text, harness.shownText("GLOBAL", "mDataPasted"));
}

TEST_F(DispatcherTest, ShareClipboardChosenWhileACommandRunsIsRefused)
{
    bool waitRan = false;
    harness.keys.onSend = [this, &waitRan](std::uint16_t key) {
        if (key != 'C')
            return;
        // The window in front answers Ctrl+C a little later; meanwhile the user chooses Share Clipboard.
        later(100, [this] {
            harness.clipboard.set({{platform::kFormatUnicodeText, Utf16LeTextBlock("copied")}});
        });
        later(50, [this, &waitRan] { waitRan = waitRan || harness.form().dispatcher().waitRunning(); });
        harness.trigger("_aWeb");
    };
    harness.trigger("_aCopy");

    EXPECT_FALSE(waitRan);
    // The refusal, then the copy's own balloon; the copy is not shared.
    EXPECT_EQ(harness.balloons.shown.size(), 2U);
    ASSERT_FALSE(harness.balloons.shown.empty());
    EXPECT_EQ(harness.balloons.shown.front().text, harness.shownText("GLOBAL", "mUploading"));
    EXPECT_EQ(harness.balloons.shown.back().text, harness.shownText("GLOBAL", "mSelShared"));
}

TEST_F(DispatcherTest, CommandRunsInTheWindowOfTheLastHotkeyPress)
{
    harness.focus.windows = {42, 77};
    harness.focus.foreground = 42;
    ASSERT_TRUE(harness.hotkeys.press(1));
    harness.form().hotkeyMenu()->hide();
    harness.focus.foreground = 77; // the menu took the focus
    harness.copyPuts({{platform::kFormatUnicodeText, Utf16LeTextBlock("x")}});
    harness.trigger("_aCopy");
    EXPECT_EQ(harness.focus.requests, (std::vector<platform::WindowHandle>{42}));
    EXPECT_EQ(harness.focus.foreground, 42U);
}

// The Share Clipboard wait runs on real time: only what ends it early is tested here. What the share
// itself does is not looked at: only that it ran (a balloon that is neither the wait's nor the
// nothing-copied one).
class ShareWaitTest : public DispatcherTest
{
protected:
    void wait()
    {
        const auto start = steady_clock::now();
        harness.form().dispatcher().WaitAndShareClipboard();
        harness.settleWait();
        waited = steady_clock::now() - start;
        EXPECT_FALSE(harness.form().dispatcher().waitRunning());
    }

    std::vector<QString> texts() const
    {
        std::vector<QString> all;
        for (const BalloonShown& shown : harness.balloons.shown)
            all.push_back(shown.text);
        return all;
    }

    bool shareRan(std::size_t balloon) const
    {
        return balloon < harness.balloons.shown.size() &&
               harness.balloons.shown[balloon].text != harness.shownText("GLOBAL", "mCopy30Sec") &&
               harness.balloons.shown[balloon].text != harness.shownText("GLOBAL", "mNoDataCopied");
    }

    steady_clock::duration waited{};
};

TEST_F(ShareWaitTest, ButtonOrClipboardChangeEndsTheWaitWithAShare)
{
    later(300, [this] { harness.balloons.click(1); });
    wait();
    EXPECT_LT(waited, std::chrono::seconds(3));
    ASSERT_EQ(harness.balloons.shown.size(), 2U);
    const BalloonShown& waiting = harness.balloons.shown[0];
    EXPECT_EQ(waiting.text, harness.shownText("GLOBAL", "mCopy30Sec"));
    EXPECT_EQ(waiting.icon, QStringLiteral("INFO"));
    EXPECT_EQ(waiting.button1, QString::fromStdString(harness.text("GLOBAL", "bInClipboard")));
    EXPECT_EQ(waiting.timeLeft, QStringLiteral("30 seconds left."));
    EXPECT_TRUE(shareRan(1));

    harness.balloons.shown.clear();
    later(300, [this] { harness.clipboard.set({{platform::kFormatUnicodeText, Utf16LeTextBlock("new")}}); });
    wait();
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_EQ(texts().size(), 2U);
    EXPECT_TRUE(shareRan(1));
}

TEST_F(ShareWaitTest, ChoosingShareClipboardAgainRestartsTheWaitAndSharesOnce)
{
    later(300, [this] { harness.form().dispatcher().WaitAndShareClipboard(); });
    later(900, [this] { harness.form().dispatcher().hndlCopyNow(); });
    wait();
    EXPECT_LT(waited, std::chrono::seconds(4));
    const QString waiting = harness.shownText("GLOBAL", "mCopy30Sec");
    ASSERT_EQ(texts().size(), 3U);
    EXPECT_EQ(texts()[0], waiting);
    EXPECT_EQ(texts()[1], waiting);
    EXPECT_TRUE(shareRan(2));
}

TEST_F(ShareWaitTest, CommandChosenDuringTheWaitEndsItWithoutSharing)
{
    harness.copyPuts({{platform::kFormatUnicodeText, Utf16LeTextBlock("for remote copy")}});
    later(300, [this] { harness.trigger("_aCopy"); });
    wait();
    EXPECT_LT(waited, std::chrono::seconds(8));
    // The copy's change of the clipboard is not shared.
    EXPECT_EQ(texts(), (std::vector<QString>{harness.shownText("GLOBAL", "mCopy30Sec"),
                                             harness.shownText("GLOBAL", "mSelShared")}));
}

TEST_F(ShareWaitTest, EndOfTheProgramEndsTheWaitWithoutABalloon)
{
    later(300, [this] { harness.form().dispatcher().Terminate(); });
    wait();
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_EQ(texts(), (std::vector<QString>{harness.shownText("GLOBAL", "mCopy30Sec")}));
}

} // namespace
} // namespace tern::test
