#include "ServiceProcess.h"

#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tern::test {

namespace {

constexpr std::string_view kListeningPrefix = "tern-server listening on ";
constexpr const char* kServerPath = TERN_BIN_DIR "/tern-server";

} // namespace

ServiceProcess::ServiceProcess()
{
    std::vector<std::string> args{kServerPath, "--listen", "127.0.0.1:0", "--data", m_folder.file("data")};
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
    // The access log would only clutter the test output.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&m_pid, kServerPath, &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);

    // The first line names the address once the port is bound; it comes or stdout closes.
    std::FILE* output = ::fdopen(fds[0], "r");
    if (output == nullptr) {
        ::close(fds[0]);
        return;
    }
    char line[512];
    if (m_pid > 0 && std::fgets(line, sizeof line, output) != nullptr) {
        std::string_view text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        if (text.substr(0, kListeningPrefix.size()) == kListeningPrefix)
            m_address = std::string(text.substr(kListeningPrefix.size()));
    }
    std::fclose(output);
}

ServiceProcess::~ServiceProcess()
{
    stop();
}

void ServiceProcess::stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

} // namespace tern::test
