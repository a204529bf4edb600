// The end of the program while an exchange with the service hangs: what the termination signals,
// the quit message and Exit do (the dispatcher's Terminate, then the tray controller's end) must be
// over within 2 seconds, however long the service keeps the exchange open.
#include "ShellTestSupport.h"

#include "shell/CommandDispatcher.h"
#include "support/RecordingHttpServer.h"
#include "util/TextEncoding.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>

namespace tern::test {
namespace {

using std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(ProgramEnd, EndsWithinTwoSecondsWhileAnExchangeHangs)
{
    struct Case
    {
        const char* name;
        // Starts the exchange; it may wait serving events until the end begins.
        std::function<void(ShellHarness&)> start;
    };
    const Case cases[] = {
        {"Remote Paste", [](ShellHarness& harness) { harness.trigger("_aPaste"); }},
        {"Remote Copy",
         [](ShellHarness& harness) {
             harness.copyPuts({{platform::kFormatUnicodeText, Utf16LeTextBlock("to upload")}});
             harness.trigger("_aCopy");
         }},
        {"Share Clipboard",
         [](ShellHarness& harness) {
             harness.clipboard.set({{platform::kFormatUnicodeText, Utf16LeTextBlock("to share")}});
             harness.form().dispatcher().RunCommand(TCommand::cmdShareClipboard);
         }},
        {"update check",
         [](ShellHarness& harness) {
             harness.loader().service().StartUpdateCheck([](const UpdateCheckResult&) {});
         }},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        // Takes the request and never answers.
        RecordingHttpServer service("", RecordingHttpServer::Behaviour::NeverAnswer);
        ShellHarness::Options options;
        options.serviceHost = service.base();
        auto harness = std::make_unique<ShellHarness>(options);
        harness->balloons.shown.clear();

        // The end begins once the service holds the request, as a signal would arrive then.
        std::optional<steady_clock::time_point> endBegan;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!endBegan && !service.requests().empty()) {
                endBegan = steady_clock::now();
                harness->form().dispatcher().Terminate();
            }
        });
        watch.start();
        entry.start(*harness);
        // A check runs on its own thread: the loop waits for its request.
        const auto requested = steady_clock::now() + 10s;
        while (!endBegan && steady_clock::now() < requested)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        watch.stop();
        ASSERT_TRUE(endBegan) << "the service never received the request";
        harness.reset();
        EXPECT_LT(steady_clock::now() - *endBegan, 2s);
    }
}

} // namespace
} // namespace tern::test
