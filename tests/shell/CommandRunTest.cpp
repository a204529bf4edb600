// The command runs through the dispatcher: the capture delay from the Shift key, the state each
// wait is in, and the tray's upload indicator around a transfer.
#include "ShellTestSupport.h"

#include "shell/CommandDispatcher.h"
#include "util/TextEncoding.h"

#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

namespace tern::test {
namespace {

TEST(CommandRunTest, CapturesWaitTenSecondsWithShiftAndOneWithout)
{
    for (const bool shift : {false, true}) {
        for (const TCommand command :
             {TCommand::cmdShareScreen, TCommand::cmdShareWindow, TCommand::cmdShareArea}) {
            ShellHarness harness;
            harness.keys.shiftDown = shift;
            CommandDispatcher& dispatcher = harness.form().dispatcher();
            dispatcher.RunCommand(command);
            ASSERT_NE(dispatcher.currentRun(), nullptr);
            EXPECT_EQ(dispatcher.currentRun()->delaySeconds(), shift ? 10 : 1);
            EXPECT_EQ(dispatcher.currentRun()->state(), CommandRun::State::Delaying);
            // The program ends during the delay: nothing is captured.
            dispatcher.Terminate();
            EXPECT_EQ(dispatcher.state(), CommandDispatcher::State::Ended);
            EXPECT_EQ(harness.screen.captures, 0);
        }
    }
}

TEST(CommandRunTest, TransferShowsTheUploadIndicatorUntilItEndsAlsoWhenItFails)
{
    for (const bool serviceUp : {true, false}) {
        SCOPED_TRACE(serviceUp);
        ShellHarness::Options options;
        if (!serviceUp)
            options.serviceHost = ClosedServiceHost();
        ShellHarness harness(options);
        QSystemTrayIcon& tray = harness.form().trayIcon();
        const QString hint = tray.toolTip();
        QString hintDuringTransfer;
        harness.copyPuts({{platform::kFormatUnicodeText, Utf16LeTextBlock("to upload")}});
        harness.form().dispatcher().RunCommand(TCommand::cmdRemoteCopy);
        const CommandRun* run = harness.form().dispatcher().currentRun();
        ASSERT_NE(run, nullptr);
        EXPECT_EQ(run->state(), CommandRun::State::Transferring);
        hintDuringTransfer = tray.toolTip();
        harness.settle();
        EXPECT_EQ(hintDuringTransfer, harness.shownText("GLOBAL", "mUploading"));
        EXPECT_EQ(tray.toolTip(), hint);
        ASSERT_FALSE(harness.balloons.shown.empty());
        EXPECT_EQ(harness.balloons.shown.back().icon,
                  serviceUp ? QStringLiteral("INFO") : QStringLiteral("ERROR"));
    }
}

} // namespace
} // namespace tern::test
