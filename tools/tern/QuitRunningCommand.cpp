#include "QuitRunningCommand.h"

#include "platform/PlatformFactory.h"

#include <ostream>

namespace tern::tool {

namespace {

// The caption of the running program's hidden main window and its quit message; the same value in
// both parameters marks the request as meant, and comes back as the answer when it is accepted.
constexpr const char* kMainWindowTitle = "TernClipboardStarted";
constexpr std::uint32_t kQuitMessage = 0x49F;
constexpr int kAnswerTimeoutMs = 5000;

} // namespace

Command MakeQuitRunningCommand(ToolContext& /*context*/)
{
    return {"quit-running", "quit-running                ask the running program to quit; prints its answer",
            [](const std::vector<std::string>& args, CommandIo& io) {
                if (!args.empty())
                    throw UsageError("expected no arguments");
                const auto answer = platform::CreateRemoteControl()->send(
                    kMainWindowTitle, kQuitMessage, kQuitMessage, kQuitMessage, kAnswerTimeoutMs);
                if (!answer) {
                    io.err << "no running copy\n";
                    return kExitFailure;
                }
                io.out << *answer << '\n';
                return kExitOk;
            }};
}

} // namespace tern::tool
