#include "Handlers.h"

#include "AccessKeys.h"
#include "Pages.h"
#include "Replies.h"
#include "SharedItems.h"

#include <chrono>

namespace tern::server {
namespace {

constexpr int kHistoryLimit = 1000;
constexpr int kKeyAttempts = 5;

std::int64_t nowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void sendNotFound(HttpResponse& res)
{
    SendPage(res, 404, MessagePage("Not found", "This link does not exist."));
}

void share(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    const AuthResult login = context.authenticator.authenticate(
        req.get_param_value("email"), req.get_param_value("pass"), ClientAddress(req));
    if (const std::string_view failure = CredentialFailure(login); !failure.empty())
        return SendStatus(res, failure);
    const auto kind = ParseShareKind(req.get_param_value("tp"));
    const auto data = SingleDataPart(req);
    if (!kind || !data)
        return SendStatus(res, "badrequest");
    if (data->size() > kMaxShareBytes)
        return SendStatus(res, "toolarge");
    if (*kind == ShareKind::Nothing || data->empty())
        return SendStatus(res, "empty");
    if (!PayloadMatchesKind(*kind, *data))
        return SendStatus(res, "badformat");
    for (int attempt = 0; attempt < kKeyAttempts; ++attempt) {
        const std::string key = NewAccessKey();
        if (context.database.addShare(key, login.accountId, static_cast<int>(*kind), *data, nowSeconds()))
            return SendJson(res, nlohmann::json{{"status", "ok"}, {"accesskey", key}});
    }
    SendStatus(res, "error");
}

void sharedItem(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    const std::string key = req.matches[1];
    const std::string extension = req.matches[2];
    const auto item = context.database.findShare(key);
    if (!item)
        return sendNotFound(res);
    const auto kind = static_cast<ShareKind>(item->kind);
    if (extension == "html")
        return SendPage(res, 200, SharePage(*item));
    if (extension != RawExtension(kind))
        return sendNotFound(res);
    res.set_header("Content-Disposition", "inline; filename=\"" + key + "." + extension + "\"");
    if (kind == ShareKind::Text)
        return SendBytes(res, ShareTextForDisplay(item->data), RawContentType(kind));
    // Only bytes that carry the image signature are ever labelled as that image.
    if (!PayloadMatchesKind(kind, item->data))
        return sendNotFound(res);
    SendBytes(res, item->data, RawContentType(kind));
}

void history(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    const std::string email = req.get_param_value("u");
    const AuthResult login =
        context.authenticator.authenticate(email, req.get_param_value("p"), ClientAddress(req));
    if (login.outcome == AuthOutcome::Locked)
        return SendPage(res, 429, MessagePage("History", "Too many failed logins. Please try again later."));
    if (login.outcome != AuthOutcome::Accepted)
        return SendPage(res, 403, MessagePage("History", "Wrong e-mail address or password."));
    SendPage(res, 200, HistoryPage(email, context.database.listShares(login.accountId, kHistoryLimit)));
}

} // namespace

void RegisterShareHandlers(Router& server, ServerContext& context)
{
    server.Post("/storage/share.html",
                [&context](const HttpRequest& req, HttpResponse& res) { share(context, req, res); });
    server.Get(R"(/d/([A-Za-z0-9]{24})\.(html|txt|jpg|png))",
               [&context](const HttpRequest& req, HttpResponse& res) { sharedItem(context, req, res); });
    server.Get("/cp/history.html",
               [&context](const HttpRequest& req, HttpResponse& res) { history(context, req, res); });
    server.setBodyLimit("POST", "/storage/share.html", kMaxUploadBodyBytes);
}

} // namespace tern::server
