#include "QuitRunningCommand.h"

#include "platform/HeadlessServices.h"
#include "platform/RunningCopy.h"
#include "util/ProductName.h"

#include <ostream>

namespace tern::tool {

namespace {

constexpr int kAnswerTimeoutMs = 5000;

} // namespace

Command MakeQuitRunningCommand(ToolContext& /*context*/)
{
    return {"quit-running",
            "quit-running                ask the running program to quit (it saves its settings);\n"
            "                            exit status 0 when it accepted, 1 when it refused or none runs",
            [](const std::vector<std::string>& args, CommandIo& io) {
                if (!args.empty())
                    throw UsageError("expected no arguments");
                const auto answer = platform::SendToRunningCopy(
                    platform::kMainWindowTitle, platform::kQuitMessage, platform::kQuitMessage,
                    platform::kQuitMessage, kAnswerTimeoutMs);
                if (!answer) {
                    io.err << "No running " << kProductName
                           << " of this user answered on this display; nothing was asked to quit.\n";
                    return kExitFailure;
                }
                if (*answer != platform::kQuitMessage) {
                    io.err << "The running " << kProductName << " refused to quit (it answered " << *answer
                           << ").\n";
                    return kExitFailure;
                }
                io.out << "The running " << kProductName << " accepted the request and is quitting.\n";
                return kExitOk;
            }};
}

} // namespace tern::tool
