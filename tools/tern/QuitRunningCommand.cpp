#include "QuitRunningCommand.h"

#include "platform/HeadlessServices.h"
#include "platform/RunningCopy.h"

#include <ostream>

namespace tern::tool {

namespace {

constexpr int kAnswerTimeoutMs = 5000;

} // namespace

Command MakeQuitRunningCommand(ToolContext& /*context*/)
{
    return {"quit-running", "quit-running                ask the running program to quit; prints its answer",
            [](const std::vector<std::string>& args, CommandIo& io) {
                if (!args.empty())
                    throw UsageError("expected no arguments");
                const auto answer = platform::SendToRunningCopy(
                    platform::kMainWindowTitle, platform::kQuitMessage, platform::kQuitMessage,
                    platform::kQuitMessage, kAnswerTimeoutMs);
                if (!answer) {
                    io.err << "no running copy\n";
                    return kExitFailure;
                }
                io.out << *answer << '\n';
                return kExitOk;
            }};
}

} // namespace tern::tool
