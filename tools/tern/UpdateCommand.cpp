#include "UpdateCommand.h"

#include "ServiceSession.h"
#include "util/TextRoutines.h"

#include <condition_variable>
#include <mutex>
#include <ostream>

namespace tern::tool {

namespace {

int runCheckUpdate(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    if (!args.empty())
        throw UsageError("expected no arguments");
    ServiceSession session(context, true);

    std::mutex mutex;
    std::condition_variable reported;
    std::optional<UpdateCheckResult> result;
    session.client().StartUpdateCheck([&](const UpdateCheckResult& outcome) {
        const std::lock_guard lock(mutex);
        result = outcome;
        reported.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        reported.wait(lock, [&] { return result.has_value(); });
    }

    if (result->outcome == kUpdateNoAnswer) {
        io.err << "no answer from " << session.store().ServiceHost << '\n';
        return kExitFailure;
    }
    io.out << (result->outcome == kUpdateUpToDate ? "up to date" : "a newer version is available") << '\n';
    const std::string message = ReplaceAll(TrimText(result->message), "\r\n", "\n");
    if (!message.empty())
        io.out << message << '\n';
    return kExitOk;
}

} // namespace

Command MakeCheckUpdateCommand(ToolContext& context)
{
    return {"check-update", "check-update                ask the service whether a newer version exists",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runCheckUpdate(context, args, io);
            }};
}

} // namespace tern::tool
