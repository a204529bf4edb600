#include "Database.h"
#include "ServerFixture.h"

#include <csignal>
#include <cstdio>
#include <filesystem>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tern::server::test {
namespace {

// tern-server run as a child with its stdout on a pipe.
class ServerProcess
{
public:
    explicit ServerProcess(std::vector<std::string> args)
    {
        args.insert(args.begin(), TERN_SERVER_EXE);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (posix_spawn(&m_pid, TERN_SERVER_EXE, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_stdout = ::fdopen(fds[0], "r");
    }
    ~ServerProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout != nullptr)
            std::fclose(m_stdout);
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // The next line of the child's stdout (blocks until it comes or the child closes stdout).
    std::string readLine()
    {
        char line[512];
        if (m_stdout == nullptr || std::fgets(line, sizeof line, m_stdout) == nullptr)
            return {};
        return line;
    }
    // Sends `signal` (0: none) and returns the exit code, or -1 when the child did not exit normally.
    int finish(int signal)
    {
        if (signal != 0)
            ::kill(m_pid, signal);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    std::FILE* m_stdout = nullptr;
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

} // namespace
} // namespace tern::server::test
