#include "support/ServerProcess.h"

#include <cerrno>
#include <csignal>
#include <string_view>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tern::test {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kListeningPrefix = "tern-server listening on ";

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

ServerProcess::ServerProcess(std::vector<std::string> arguments)
    : ServerProcess(std::move(arguments), Options{})
{
}

ServerProcess::ServerProcess(std::vector<std::string> arguments, const Options& options)
{
    arguments.insert(arguments.begin(), options.program);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // Close-on-exec, so that no other child of the test holds the pipe open; the child's own stdout is
    // a duplicate, which stays open across the exec.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (options.quietStderr)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&m_pid, options.program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (m_pid > 0)
        m_stdout = fds[0];
    else
        ::close(fds[0]);
}

ServerProcess::~ServerProcess()
{
    kill();
    if (m_stdout >= 0)
        ::close(m_stdout);
}

std::string ServerProcess::readLine(std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (const std::size_t end = m_pending.find('\n'); end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        if (m_stdout < 0)
            return std::exchange(m_pending, {});
        pollfd waiting{m_stdout, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        char buffer[512];
        const ssize_t got = ::read(m_stdout, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(m_stdout);
            m_stdout = -1;
            continue;
        }
        m_pending.append(buffer, static_cast<std::size_t>(got));
    }
}

int ServerProcess::finish(int signal, std::chrono::milliseconds limit)
{
    if (m_pid <= 0)
        return -1;
    if (signal != 0)
        ::kill(m_pid, signal);
    const auto deadline = Clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(m_pid, &status, WNOHANG);
        if (ended == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if ((ended < 0 && errno != EINTR) || Clock::now() >= deadline) {
            kill();
            return -1;
        }
        // A child's exit cannot be polled for portably; the deadline bounds this wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void ServerProcess::kill()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

ServiceProcess::ServiceProcess(std::vector<std::string> extraArguments)
    : m_process(
          [&] {
              std::vector<std::string> arguments{"--listen", "127.0.0.1:0", "--data", m_folder.file("data")};
              if (!m_database.url().empty())
                  arguments.insert(arguments.end(), {"--database", m_database.url()});
              arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
              return arguments;
          }(),
          ServerProcess::Options{.program = kServerPath, .quietStderr = true})
{
    // The first line names the address once the port is bound.
    if (!m_process.started())
        return;
    m_startLine = m_process.readLine();
    if (m_startLine.starts_with(kListeningPrefix))
        m_address = m_startLine.substr(kListeningPrefix.size());
}

void ServiceProcess::terminate()
{
    m_process.finish(SIGTERM, std::chrono::seconds(5));
}

} // namespace tern::test
