// Private messages to the running copy through its socket, as a copy on Wayland takes them, sent by
// the command-line tool from another process.
#include "WaylandTestSupport.h"

#include "platform/RunningCopy.h"
#include "platform/wayland/RemoteSocket.h"
#include "platform/wayland/SocketRemoteControl.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <stdexcept>

namespace tern::platform::wayland {
namespace {

using test::HaveCompositor;
using test::RunTool;

constexpr std::uint32_t kQuit = kQuitMessage;

TEST(SocketRemoteControlTest, AnswersTheToolAndFreesTheSocketWhenGone)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no event loop without the compositor";
    }
    test::TempFolder runtime;
    test::ScopedEnv folder("XDG_RUNTIME_DIR", runtime.path());
    const std::string path = RemoteSocketPath(kMainWindowTitle);
    EXPECT_EQ(path, runtime.path() + "/" + kMainWindowTitle + ".remote");
    // A socket file left by a copy that crashed answers nobody, and is replaced.
    std::ofstream(path) << "stale";
    const QString tool = QStringLiteral(TERN_BIN_DIR "/tern");
    EXPECT_FALSE(RunTool(tool, {QStringLiteral("quit-running")}).has_value());

    int quits = 0;
    {
        SocketRemoteControl control;
        control.listen(kMainWindowTitle, [&quits](std::uint32_t message, std::int64_t w, std::int64_t l) {
            if (message != kQuit || w != kQuit || l != kQuit)
                throw std::runtime_error("not a quit request");
            ++quits;
            return std::int64_t{kQuit};
        });
        const std::optional<QByteArray> accepted = RunTool(tool, {QStringLiteral("quit-running")});
        ASSERT_TRUE(accepted.has_value());
        EXPECT_TRUE(accepted->contains("accepted"));
        EXPECT_EQ(quits, 1);
        // A handler that throws answers 0; the caller learns the copy refused.
        auto refused = std::async(std::launch::async,
                                  [] { return SendThroughSocket(kMainWindowTitle, 0x400, 1, 2, 5000); });
        test::WaitUntil(
            [&] { return refused.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        EXPECT_EQ(refused.get(), std::optional<std::int64_t>{0});
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(SendThroughSocket(kMainWindowTitle, kQuit, kQuit, kQuit, 500).has_value());
}

} // namespace
} // namespace tern::platform::wayland
