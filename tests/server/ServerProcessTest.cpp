#include "Database.h"
#include "ServerFixture.h"

#include "support/ServerProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tern::server::test {
namespace {

// The server executable this test target was built with, its stdout on a pipe, its stderr on the test's.
class ServerProcess : public tern::test::ServerProcess
{
public:
    explicit ServerProcess(std::vector<std::string> args)
        : tern::test::ServerProcess(std::move(args), {.program = TERN_SERVER_EXE, .quietStderr = false})
    {
    }
};

TEST(ServerProcess, PrintsItsAddressServesAndStopsCleanlyOnSignals)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        std::string folder = (std::filesystem::temp_directory_path() / "tern-server-proc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        const std::string dataDir = folder + "/data";
        {
            ServerProcess process({"--listen", "127.0.0.1:0", "--data", dataDir, "--latest-build", "7"});
            const std::string line = process.readLine();
            const std::string prefix = "tern-server listening on http://127.0.0.1:";
            ASSERT_TRUE(line.starts_with(prefix)) << line;
            const int port = std::stoi(line.substr(prefix.size()));
            EXPECT_EQ(SendRaw(port, GetRequest(port, "/start/check.html?v=7")).body, "uptodate\r\n");
            EXPECT_EQ(process.finish(signal), 0) << signal;
        }
        EXPECT_TRUE(std::filesystem::exists(dataDir + "/" + Database::kFileName));
        std::filesystem::remove_all(folder);
    }
}

TEST(ServerProcess, HelpAndBadOptions)
{
    {
        ServerProcess help({"--help"});
        EXPECT_TRUE(help.readLine().starts_with("Usage: tern-server"));
        EXPECT_EQ(help.finish(0), 0);
    }
    {
        ServerProcess bad({"--listen", "nowhere"});
        EXPECT_EQ(bad.readLine(), ""); // the complaint goes to stderr
        EXPECT_EQ(bad.finish(0), 2);
    }
}

// A child that never prints its start-up line, nor exits, fails a test within the limits instead of
// blocking it.
TEST(ServerProcess, WaitsForASilentChildAreBounded)
{
    using namespace std::chrono_literals;
    tern::test::ServerProcess silent({"30"}, {.program = "/bin/sleep", .quietStderr = false});
    ASSERT_TRUE(silent.started());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(silent.readLine(200ms), "");
    EXPECT_EQ(silent.finish(0, 200ms), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(silent.finish(0), -1); // it was killed and reaped
}

} // namespace
} // namespace tern::server::test
