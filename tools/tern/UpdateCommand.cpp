#include "UpdateCommand.h"

#include "PrintableText.h"
#include "ServiceSession.h"
#include "service/TransferErrors.h"
#include "util/ProgramVersion.h"
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

    // Without a usable answer, what went wrong: no response, or an error status, with the address.
    if (result->outcome == kUpdateNoAnswer) {
        HttpReply reply;
        reply.failure = result->failure;
        reply.status = result->status;
        const std::string address = UpdateCheckUrl(session.store().ServiceHost, kBuildNumber);
        try {
            if (!reply.arrived())
                ThrowTransferFailure(reply, session.client().connectionProblemText(), address);
            if (!reply.succeeded())
                ThrowServiceError(reply, session.client().connectionProblemText(), address);
        } catch (const TransferError& failure) {
            throw Error("no answer from " + session.store().ServiceHost + ": " + failure.describe());
        }
        throw Error("no answer from " + session.store().ServiceHost);
    }
    io.out << (result->outcome == kUpdateUpToDate ? "up to date" : "a newer version is available") << '\n';
    // The message comes from the service: printed without its control characters.
    const std::string message = PrintableText(ReplaceAll(TrimText(result->message), "\r\n", "\n"));
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
