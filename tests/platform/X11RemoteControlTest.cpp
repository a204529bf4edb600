#include "X11ShellTestSupport.h"

#include "platform/x11/X11RemoteControl.h"
#include "platform/x11/X11RemoteSender.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <tuple>
#include <vector>

#include <unistd.h>

using tern::platform::x11::SendRemoteMessage;
using tern::platform::x11::X11RemoteControl;
using tern::test::PumpUntil;

namespace {

constexpr std::uint32_t kQuit = 0x49F;
using Call = std::tuple<std::uint32_t, std::int64_t, std::int64_t>;

class X11RemoteControlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!tern::test::ShellDisplay())
            GTEST_SKIP() << "no X display";
    }

    // Accepts the quit message only with both parameters 0x49F.
    void listen(const std::string& title)
    {
        m_remote.listen(title, [this](std::uint32_t message, std::int64_t wParam, std::int64_t lParam) {
            m_calls.emplace_back(message, wParam, lParam);
            return message == kQuit && wParam == kQuit && lParam == kQuit ? std::int64_t{kQuit} : 0;
        });
    }

    // Sends from another thread with its own connection while this thread keeps handling events.
    std::optional<std::int64_t> sendPumping(const std::string& title, std::uint32_t message, std::int64_t wParam,
                                            std::int64_t lParam, int timeoutMs = 5000)
    {
        auto answer = std::async(std::launch::async, [=] {
            return SendRemoteMessage(title, message, wParam, lParam, timeoutMs);
        });
        PumpUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                  timeoutMs + 5000);
        return answer.get();
    }

    X11RemoteControl m_remote;
    std::vector<Call> m_calls;
};

TEST_F(X11RemoteControlTest, AnswersComeBackToTheSender)
{
    const std::string title = "TernRemoteTest-" + std::to_string(::getpid());
    listen(title);

    EXPECT_EQ(sendPumping(title, kQuit, kQuit, kQuit), std::optional<std::int64_t>(kQuit));
    EXPECT_EQ(sendPumping(title, kQuit, kQuit, 0), std::optional<std::int64_t>(0));
    EXPECT_EQ(sendPumping(title, kQuit, -1, kQuit), std::optional<std::int64_t>(0));
    EXPECT_EQ(m_calls, (std::vector<Call>{{kQuit, kQuit, kQuit}, {kQuit, kQuit, 0}, {kQuit, -1, kQuit}}));

    // A title that only starts like ours, or no such window at all: nothing, and quickly.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sendPumping(title.substr(0, title.size() - 1), kQuit, kQuit, kQuit), std::nullopt);
    EXPECT_EQ(sendPumping(title + "x", kQuit, kQuit, kQuit), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(m_calls.size(), 3U);
}

TEST_F(X11RemoteControlTest, ListenerThatDoesNotAnswerTimesOut)
{
    const std::string title = "TernRemoteSilent-" + std::to_string(::getpid());
    listen(title);
    // The window exists but this thread does not handle events while the sender waits.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendRemoteMessage(title, kQuit, kQuit, kQuit, 300), std::nullopt);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(2));
    // The late message is still handled; its answer goes to a window that no longer exists.
    EXPECT_TRUE(PumpUntil([&] { return m_calls.size() == 1; }));
}

TEST_F(X11RemoteControlTest, QuitRunningToolSendsTheQuitMessage)
{
    const QString tool = QStringLiteral(TERN_BIN_DIR "/tern");
    const tern::test::ToolRun none = tern::test::RunPumping(tool, {QStringLiteral("quit-running")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err.trimmed(), QByteArray("no running copy"));

    listen("TernClipboardStarted");
    const tern::test::ToolRun run = tern::test::RunPumping(tool, {QStringLiteral("quit-running")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QByteArray("1183\n"));
    EXPECT_EQ(m_calls, (std::vector<Call>{{kQuit, kQuit, kQuit}}));
}

} // namespace
