#include "Handlers.h"

#include "Replies.h"
#include "SharedItems.h"
#include "http/MultipartForm.h"

#include <limits>

namespace tern::server {
namespace {

// The answer to a read without valid credentials: an empty body.
void sendNothing(HttpResponse& res, int httpStatus)
{
    res.status = httpStatus;
    SendBytes(res, std::string(), "application/octet-stream");
}

} // namespace

std::optional<std::string> SingleDataPart(const HttpRequest& req)
{
    const auto boundary = MultipartBoundary(req.get_header_value("Content-Type"));
    if (!boundary)
        return std::nullopt;
    const auto parts = ParseMultipartForm(req.body, *boundary);
    if (!parts)
        return std::nullopt;
    const FormPart* data = nullptr;
    for (const FormPart& part : *parts) {
        if (part.name != "data")
            continue;
        if (data)
            return std::nullopt;
        data = &part;
    }
    if (!data)
        return std::nullopt;
    return std::string(data->content);
}

std::int64_t KeptSince(const ServerContext& context)
{
    constexpr std::int64_t kDay = std::int64_t{24} * 60 * 60;
    if (context.options.shareDays <= 0)
        return std::numeric_limits<std::int64_t>::min();
    return context.clock() - context.options.shareDays * kDay;
}

std::string_view CredentialFailure(const AuthResult& result)
{
    switch (result.outcome) {
    case AuthOutcome::Accepted:
        return {};
    case AuthOutcome::Locked:
        return "locked";
    case AuthOutcome::Refused:
        break;
    }
    return "denied";
}

bool UploaderAdmitted(ServerContext& context, const HttpRequest& head, HttpResponse& res)
{
    const AuthResult login = context.authenticator.authenticate(
        head.get_param_value("email"), head.get_param_value("pass"), ClientAddress(head));
    const std::string_view failure = CredentialFailure(login);
    if (failure.empty())
        return true;
    SendStatus(res, failure);
    return false;
}

void RegisterStorageHandlers(Router& server, ServerContext& context)
{
    server.Post("/storage/save.html", [&context](const HttpRequest& req, HttpResponse& res) {
        const AuthResult login = context.authenticator.authenticate(
            req.get_param_value("email"), req.get_param_value("pass"), ClientAddress(req));
        if (const std::string_view failure = CredentialFailure(login); !failure.empty())
            return SendStatus(res, failure);
        const auto data = SingleDataPart(req);
        if (!data)
            return SendStatus(res, "badrequest");
        if (data->size() > kMaxSnapshotBytes)
            return SendStatus(res, "toolarge");
        if (!IsSnapshotStream(*data))
            return SendStatus(res, "badformat");
        if (!SnapshotWithinClientLimits(*data))
            return SendStatus(res, "toolarge");
        context.database.saveSnapshot(login.accountId, *data, context.clock());
        SendStatus(res, "ok");
    });
    server.setBodyLimit("POST", "/storage/save.html", kMaxUploadBodyBytes,
                        [&context](const HttpRequest& head, HttpResponse& res) {
                            return UploaderAdmitted(context, head, res);
                        });

    server.Get("/storage/read.html", [&context](const HttpRequest& req, HttpResponse& res) {
        const AuthResult login = context.authenticator.authenticate(
            req.get_param_value("email"), req.get_param_value("pass"), ClientAddress(req));
        if (login.outcome != AuthOutcome::Accepted)
            return sendNothing(res, login.outcome == AuthOutcome::Locked ? 429 : 403);
        // With nothing stored the account holds an empty clipboard: a snapshot of zero records.
        const auto snapshot = context.database.readSnapshot(login.accountId);
        SendBytes(res, snapshot.value_or(std::string(4, '\0')), "application/octet-stream");
    });
}

} // namespace tern::server
