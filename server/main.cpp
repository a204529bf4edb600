// tern-server: the reference web service of Tern Clipboard.

#include "AccountRemoval.h"
#include "ServerOptions.h"
#include "TernServer.h"
#include "util/ProgramVersion.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <thread>

#include <pthread.h>

namespace {

// SIGINT and SIGTERM are blocked in every thread and taken by one waiting thread, which stops the
// server from ordinary code rather than from a signal handler.
sigset_t stopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tern::server;
    // The newest client build by default: the one this tree builds.
    const CommandLine commandLine =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), tern::kBuildNumber);
    if (!commandLine.options) {
        std::fputs(commandLine.message.c_str(), commandLine.exitCode == 0 ? stdout : stderr);
        return commandLine.exitCode;
    }

    if (!commandLine.deleteAccount.empty()) {
        const AccountRemovalResult removal = DeleteAccount(*commandLine.options, commandLine.deleteAccount);
        std::fprintf(removal.exitCode == 0 ? stdout : stderr, "%s\n", removal.message.c_str());
        return removal.exitCode;
    }

    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        TernServer server(*commandLine.options);
        server.bind();
        std::thread([&server, signals] {
            int received = 0;
            sigwait(&signals, &received);
            server.stop();
        }).detach();
        std::printf("tern-server listening on %s\n", server.baseUrl().c_str());
        std::fflush(stdout);
        server.run();
        std::fputs("tern-server stopped\n", stderr);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tern-server: %s\n", e.what());
        return 1;
    }
}
