#include "X11ShellTestSupport.h"

#include "platform/RunningCopy.h"
#include "platform/x11/X11RemoteControl.h"
#include "platform/x11/X11RemoteProtocol.h"
#include "platform/x11/X11RemoteSender.h"
#include "platform/x11/X11Session.h"
#include "support/ScopedEnv.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include <unistd.h>

using tern::platform::x11::SendRemoteMessage;
using tern::platform::x11::SessionInstanceKey;
using tern::platform::x11::X11RemoteControl;
using tern::test::ScopedEnv;
using tern::test::WaitUntil;

namespace {

constexpr std::uint32_t kQuit = tern::platform::kQuitMessage;
using Call = std::tuple<std::uint32_t, std::int64_t, std::int64_t>;

std::string KeyForConfigHome(const std::string& configHome)
{
    const ScopedEnv env("XDG_CONFIG_HOME", configHome);
    return SessionInstanceKey();
}

class X11RemoteControlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!tern::test::HaveDisplay())
            GTEST_SKIP() << "no X display";
    }

    // Accepts the quit message only with the message value in both parameters.
    void listen(const std::string& title)
    {
        m_remote.listen(title, [this](std::uint32_t message, std::int64_t wParam, std::int64_t lParam) {
            m_calls.emplace_back(message, wParam, lParam);
            return message == kQuit && wParam == kQuit && lParam == kQuit ? std::int64_t{kQuit} : 0;
        });
    }

    // Sends from another thread with its own connection while this thread keeps handling events.
    std::optional<std::int64_t> sendPumping(const std::string& title, std::uint32_t message,
                                            std::int64_t wParam, std::int64_t lParam, int timeoutMs = 5000)
    {
        auto answer = std::async(std::launch::async, [=] {
            return SendRemoteMessage(title, message, wParam, lParam, timeoutMs, kOwnKey);
        });
        WaitUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                  timeoutMs + 5000);
        return answer.get();
    }

    static constexpr const char* kOwnKey = "0123456789abcdef";
    X11RemoteControl m_remote{kOwnKey};
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
    EXPECT_EQ(SendRemoteMessage(title, kQuit, kQuit, kQuit, 300, kOwnKey), std::nullopt);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(2));
    // The late message is still handled; its answer goes to a window that no longer exists.
    EXPECT_TRUE(WaitUntil([&] { return m_calls.size() == 1; }));
}

TEST_F(X11RemoteControlTest, QuitRunningToolSendsTheQuitMessageAndSaysTheAnswer)
{
    const QString tool = QStringLiteral(TERN_BIN_DIR "/tern");
    const tern::test::ToolRun none = tern::test::RunPumping(tool, {QStringLiteral("quit-running")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.startsWith("No running Tern Clipboard")) << none.err.toStdString();

    // Another user's copy on the same display, found first under the same title, is left alone: the
    // tool speaks for the user of its own settings file.
    std::vector<Call> otherCalls;
    X11RemoteControl otherUser(KeyForConfigHome("/nonexistent/other-user/.config"));
    otherUser.listen(tern::platform::kMainWindowTitle,
                     [&otherCalls](std::uint32_t message, std::int64_t w, std::int64_t l) {
                         otherCalls.emplace_back(message, w, l);
                         return std::int64_t{kQuit};
                     });
    const tern::test::ToolRun onlyOther = tern::test::RunPumping(tool, {QStringLiteral("quit-running")});
    EXPECT_EQ(onlyOther.exitCode, 1);
    EXPECT_TRUE(otherCalls.empty());

    // This process's environment, the one the tool inherits: first a copy that refuses, then one
    // that accepts.
    bool accepts = false;
    X11RemoteControl ownCopy;
    ownCopy.listen(tern::platform::kMainWindowTitle, [this, &accepts](std::uint32_t message, std::int64_t w,
                                                                      std::int64_t l) {
        m_calls.emplace_back(message, w, l);
        return accepts && message == kQuit && w == kQuit && l == kQuit ? std::int64_t{kQuit} : 0;
    });
    const tern::test::ToolRun refused = tern::test::RunPumping(tool, {QStringLiteral("quit-running")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("refused")) << refused.err.toStdString();
    accepts = true;
    const tern::test::ToolRun run = tern::test::RunPumping(tool, {QStringLiteral("quit-running")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("accepted")) << run.out.toStdString();
    EXPECT_EQ(m_calls, (std::vector<Call>{{kQuit, kQuit, kQuit}, {kQuit, kQuit, kQuit}}));
    EXPECT_TRUE(otherCalls.empty());
}

TEST_F(X11RemoteControlTest, SenderReachesTheCopyOfItsOwnInstanceKey)
{
    const std::string title = "TernRemoteUsers-" + std::to_string(::getpid());
    std::map<std::string, int> reached;
    const auto counting = [&reached](const std::string& who) {
        return [&reached, who](std::uint32_t, std::int64_t, std::int64_t) {
            ++reached[who];
            return std::int64_t{kQuit};
        };
    };
    // A copy that sets no key (an older build) comes first in the window tree.
    X11RemoteControl plain("unkeyed");
    plain.listen(title, counting("plain"));
    xcb_delete_property(tern::platform::x11::QtConnection(), plain.window(),
                        tern::platform::x11::InternAtom(tern::platform::x11::QtConnection(),
                                                        tern::platform::x11::kInstanceKeyAtom));
    xcb_flush(tern::platform::x11::QtConnection());
    X11RemoteControl ann("aaaaaaaaaaaaaaaa");
    ann.listen(title, counting("ann"));
    X11RemoteControl bob("bbbbbbbbbbbbbbbb");
    bob.listen(title, counting("bob"));

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bbbbbbbbbbbbbbbb", "bob"},    {"aaaaaaaaaaaaaaaa", "ann"},
        {"aaaaaaaaaaaaaaa", "plain"},   // a prefix of a key is another key
        {"aaaaaaaaaaaaaaaaa", "plain"}, // so is a longer one
        {"cccccccccccccccc", "plain"},  // no copy of this user: the copy without a key
    };
    for (const auto& [key, expected] : cases) {
        reached.clear();
        auto answer = std::async(std::launch::async, [&, key = key] {
            return SendRemoteMessage(title, kQuit, kQuit, kQuit, 5000, key);
        });
        WaitUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                  10000);
        EXPECT_EQ(answer.get(), std::optional<std::int64_t>(kQuit)) << key;
        EXPECT_EQ(reached, (std::map<std::string, int>{{expected, 1}})) << key;
    }
}

TEST_F(X11RemoteControlTest, WindowOfAnotherKeyIsNeverReached)
{
    const std::string title = "TernRemoteOther-" + std::to_string(::getpid());
    listen(title);
    const auto start = std::chrono::steady_clock::now();
    auto answer = std::async(std::launch::async, [&] {
        return SendRemoteMessage(title, kQuit, kQuit, kQuit, 5000, "fedcba9876543210");
    });
    WaitUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000);
    EXPECT_EQ(answer.get(), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(m_calls.empty());
}

TEST(SessionInstanceKeyTest, FollowsTheUsersSettingsFile)
{
    const std::string ann = KeyForConfigHome("/tmp/tern-key-test/ann/.config");
    EXPECT_EQ(ann.size(), 16U);
    EXPECT_EQ(ann.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(KeyForConfigHome("/tmp/tern-key-test/ann/.config"), ann);
    EXPECT_EQ(KeyForConfigHome("/tmp/tern-key-test/ann/.config/"), ann);
    EXPECT_EQ(KeyForConfigHome("/tmp/tern-key-test/bob/../ann/.config"), ann);
    EXPECT_NE(KeyForConfigHome("/tmp/tern-key-test/bob/.config"), ann);
}

} // namespace
