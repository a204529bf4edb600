// The dispatcher on its own, over fake operations, fake desktop services and a fake tray: what each
// outcome of an operation shows, and that no failure, of whatever type, leaves a command or keeps
// the dispatcher busy.
#include "ShellTestSupport.h"

#include "shell/CommandDispatcher.h"
#include "shell/CommandOperations.h"
#include "shell/TrayView.h"
#include "support/FakeShellServices.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tern::test {
namespace {

// Texts are "SECTION/key"; each operation runs what the test put in `run` and records its name.
class FakeOperations final : public CommandOperations
{
public:
    std::string GetText(const std::string& section, const std::string& key) const override
    {
        return section + "/" + key;
    }
    std::string ConnectionProblemText() const override { return GetText("FAUTHFORM", "mConnectProb"); }
    void RemoteCopy() override { perform("RemoteCopy"); }
    void RemotePaste() override { perform("RemotePaste"); }
    void ShareClipboard() override { perform("ShareClipboard"); }
    void ShareScreen(bool currentWindowOnly, int delay) override
    {
        perform((currentWindowOnly ? "ShareWindow " : "ShareScreen ") + std::to_string(delay));
    }
    void ShareArea(int delay) override { perform("ShareArea " + std::to_string(delay)); }
    void ReshareLastSnapshot() override { perform("ReshareLastSnapshot"); }
    void Terminate() override { perform("Terminate"); }
    std::string LastSnapshotPath() const override { return "/nonexistent/last_snap.bmp"; }
    void setUploadWaitHooks(UploadWaitHooks installed) override { hooks = std::move(installed); }

    std::function<void()> run;
    std::vector<std::string> performed;
    UploadWaitHooks hooks;

private:
    void perform(std::string name)
    {
        performed.push_back(std::move(name));
        if (run)
            run();
    }
};

class FakeTray final : public TrayView
{
public:
    QRect trayIconRect() const override { return {}; }
    platform::WindowHandle prevForeground() const override { return previous; }
    void beginUploadIndicator() override { indicator.emplace_back("begin"); }
    void endUploadIndicator() override { indicator.emplace_back("end"); }

    platform::WindowHandle previous = 0;
    std::vector<std::string> indicator;
};

TEST(DispatcherOverFakes, EveryOutcomeEndsInItsBalloonAndTheNextCommandRuns)
{
    FakeShellServices fakes;
    FakeOperations operations;
    FakeTray tray;
    BalloonRecorder balloons;
    tray.previous = 77;
    fakes.focus.windows = {77};
    CommandDispatcher dispatcher(operations, fakes.services, tray);

    const std::string connection = "FAUTHFORM/mConnectProb";
    struct Case
    {
        TCommand command;
        std::function<void()> run;
        const char* operation; // nullptr: none runs
        QString icon;
        std::string text;
    };
    const Case cases[] = {
        {TCommand::cmdRemoteCopy, nullptr, "RemoteCopy", "INFO", "GLOBAL/mSelShared"},
        {TCommand::cmdRemotePaste, nullptr, "RemotePaste", "INFO", "GLOBAL/mDataPasted"},
        {TCommand::cmdRemoteCopy, [] { throw Error("Nothing was copied."); }, "RemoteCopy", "ERROR",
         "Nothing was copied."},
        {TCommand::cmdRemotePaste, [] { throw NetworkError("refused"); }, "RemotePaste", "ERROR",
         connection + " (NetworkError)"},
        // Not even an exception of the standard library: it ends in the balloon too.
        {TCommand::cmdRemoteCopy, [] { throw 42; }, "RemoteCopy", "ERROR", connection + " (Exception)"},
        {TCommand::cmdShareScreen, [] { throw Error("The screen could not be read."); }, "ShareScreen 1",
         "ERROR", "The screen could not be read."},
        // A command chosen while one runs (from inside its wait) is refused; the running one ends.
        {TCommand::cmdRemoteCopy, [&dispatcher] { dispatcher.RunCommand(TCommand::cmdRemotePaste); },
         "RemoteCopy", "INFO", "GLOBAL/mSelShared"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.text);
        operations.performed.clear();
        operations.run = entry.run;
        balloons.shown.clear();
        fakes.focus.requests.clear();

        EXPECT_NO_THROW(dispatcher.RunCommand(entry.command));

        EXPECT_EQ(operations.performed,
                  entry.operation ? std::vector<std::string>{entry.operation} : std::vector<std::string>{});
        ASSERT_FALSE(balloons.shown.empty());
        EXPECT_EQ(balloons.shown.back().icon, entry.icon);
        EXPECT_EQ(balloons.shown.back().text, QString::fromStdString(entry.text));
        EXPECT_EQ(balloons.shown.back().title, QStringLiteral("Tern Clipboard"));
        // The window of the last hotkey press comes back before the operation runs.
        EXPECT_EQ(fakes.focus.requests, std::vector<platform::WindowHandle>{77});
    }
    ASSERT_EQ(balloons.shown.size(), 2U);
    EXPECT_EQ(balloons.shown[0].text, QStringLiteral("GLOBAL/mUploading"));

    // The operations' upload waits show the tray's indicator.
    ASSERT_TRUE(operations.hooks.begin && operations.hooks.end);
    operations.hooks.begin();
    operations.hooks.end();
    EXPECT_EQ(tray.indicator, (std::vector<std::string>{"begin", "end"}));
}

TEST(DispatcherOverFakes, CapturesWaitTenSecondsWithShiftAndOneWithout)
{
    FakeShellServices fakes;
    FakeOperations operations;
    FakeTray tray;
    CommandDispatcher dispatcher(operations, fakes.services, tray);
    for (const bool shift : {false, true}) {
        fakes.keys.shiftDown = shift;
        for (const TCommand command : {TCommand::cmdShareScreen, TCommand::cmdShareWindow,
                                       TCommand::cmdShareArea, TCommand::cmdReshareSnapshot})
            dispatcher.RunCommand(command);
    }
    EXPECT_EQ(operations.performed,
              (std::vector<std::string>{"ShareScreen 1", "ShareWindow 1", "ShareArea 1",
                                        "ReshareLastSnapshot", "ShareScreen 10", "ShareWindow 10",
                                        "ShareArea 10", "ReshareLastSnapshot"}));
    dispatcher.Terminate();
    EXPECT_EQ(operations.performed.back(), "Terminate");
}

} // namespace
} // namespace tern::test
