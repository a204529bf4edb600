#pragma once

#include "support/ScratchDatabase.h"
#include "support/TempFolder.h"

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace tern::test {

// tern-server next to the test executables.
inline constexpr const char* kServerPath = TERN_BIN_DIR "/tern-server";

// A program run as a child of the test with its stdout on a pipe. Every wait is bounded, so a child
// that hangs fails the test instead of blocking it. The child is killed (SIGKILL) and reaped when the
// object goes, unless finish() or kill() already ended it.
class ServerProcess
{
public:
    struct Options
    {
        std::string program = kServerPath;
        // Sends the child's stderr (tern-server's access log) to /dev/null instead of the test's output.
        bool quietStderr = false;
    };

    // Starts `options.program` with `arguments`; started() says whether that worked.
    explicit ServerProcess(std::vector<std::string> arguments);
    ServerProcess(std::vector<std::string> arguments, const Options& options);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool started() const noexcept { return m_pid > 0; }
    // The next line of the child's stdout without its line end; what is left when stdout closes first
    // (empty at its end); empty when nothing complete comes within `limit`.
    std::string readLine(std::chrono::milliseconds limit = std::chrono::seconds(15));
    // Sends `signal` (0: none) and waits up to `limit` for the child to exit: its exit code, or -1 when
    // it did not exit normally in time (it is then killed).
    int finish(int signal, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Kills the child and reaps it; does nothing once it has ended.
    void kill();

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_pending; // read from stdout, not yet returned by readLine()
};

// tern-server as the service of a test: a child listening on a free loopback port, with a data folder of
// its own (and a PostgreSQL schema of its own when the environment names a test database, see
// ScratchDatabase), started with `extraArguments` after --listen, --data and --database. The start-up
// line has been read when the constructor returns.
class ServiceProcess
{
public:
    explicit ServiceProcess(std::vector<std::string> extraArguments = {});
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // "http://127.0.0.1:PORT"; empty when the service did not start.
    const std::string& address() const noexcept { return m_address; }
    // The first line the service printed (for a failure message when address() is empty).
    const std::string& startLine() const noexcept { return m_startLine; }
    // Kills the service at once (to test an unreachable service).
    void stop() { m_process.kill(); }
    // Asks the service to end (SIGTERM) and kills it when it has not within five seconds.
    void terminate();

private:
    TempFolder m_folder;
    ScratchDatabase m_database;
    ServerProcess m_process;
    std::string m_startLine;
    std::string m_address;
};

} // namespace tern::test
