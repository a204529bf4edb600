#include "Handlers.h"

#include "AccessKeys.h"
#include "Pages.h"
#include "Replies.h"
#include "SharedItems.h"

namespace tern::server {
namespace {

constexpr int kHistoryLimit = 1000;
constexpr int kKeyAttempts = 5;

void sendNotFound(const HttpRequest& req, HttpResponse& res)
{
    SendPage(res, 404, MessagePage(PageLanguageOf(req), PageText::NotFound, PageText::NoSuchLink));
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
    const ShareQuota quota{context.options.maxShares, context.options.maxShareBytes};
    for (int attempt = 0; attempt < kKeyAttempts; ++attempt) {
        const std::string key = NewAccessKey();
        switch (context.database.addShare(key, login.accountId, static_cast<int>(*kind), *data,
                                          context.clock(), quota, KeptSince(context))) {
        case AddShareOutcome::Added:
            return SendJson(res, nlohmann::json{{"status", "ok"}, {"accesskey", key}});
        case AddShareOutcome::OverQuota:
            // The client shows "Copy operation failed with error: " and this word.
            return SendStatus(res, "overquota");
        case AddShareOutcome::KeyTaken:
            break;
        }
    }
    SendStatus(res, "error");
}

void sharedItem(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    const std::string key = req.matches[1];
    const std::string extension = req.matches[2];
    const auto item = context.database.findShare(key, KeptSince(context));
    if (!item)
        return sendNotFound(req, res);
    const auto kind = static_cast<ShareKind>(item->kind);
    if (extension == "html")
        return SendPage(res, 200, SharePage(PageLanguageOf(req), *item));
    if (extension != RawExtension(kind))
        return sendNotFound(req, res);
    res.set_header("Content-Disposition", "inline; filename=\"" + key + "." + extension + "\"");
    if (kind == ShareKind::Text)
        return SendBytes(res, ShareTextForDisplay(item->data), RawContentType(kind));
    // Only bytes that carry the image signature are ever labelled as that image.
    if (!PayloadMatchesKind(kind, item->data))
        return sendNotFound(req, res);
    SendBytes(res, item->data, RawContentType(kind));
}

// The history page and its delete buttons carry the same credentials: the e-mail as "u" and the
// password value as "p". Nothing is shown or changed without them.
std::optional<std::int64_t> historyLogin(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    const AuthResult login = context.authenticator.authenticate(req.get_param_value("u"),
                                                                req.get_param_value("p"), ClientAddress(req));
    if (login.outcome == AuthOutcome::Locked) {
        SendPage(res, 429,
                 MessagePage(PageLanguageOf(req), PageText::History, PageText::TooManyFailedLogins));
        return std::nullopt;
    }
    if (login.outcome != AuthOutcome::Accepted) {
        SendPage(res, 403, MessagePage(PageLanguageOf(req), PageText::History, PageText::WrongLogin));
        return std::nullopt;
    }
    return login.accountId;
}

void sendHistory(ServerContext& context, const HttpRequest& req, HttpResponse& res, std::int64_t accountId,
                 std::optional<PageText> notice)
{
    const HistoryLogin login{req.get_param_value("u"), req.get_param_value("p")};
    const PageLanguage language = PageLanguageOf(req);
    SendPage(res, 200,
             HistoryPage(language, login,
                         context.database.listShares(accountId, KeptSince(context), kHistoryLimit),
                         notice ? Text(language, *notice) : std::string_view()));
}

void history(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    if (const auto accountId = historyLogin(context, req, res))
        sendHistory(context, req, res, *accountId, std::nullopt);
}

// A delete button first leads to a page that asks once more; only its own button, which sends
// confirm=yes, deletes the share.
void deleteShare(ServerContext& context, const HttpRequest& req, HttpResponse& res)
{
    const auto accountId = historyLogin(context, req, res);
    if (!accountId)
        return;
    const std::string key = req.get_param_value("key");
    const HistoryLogin login{req.get_param_value("u"), req.get_param_value("p")};
    if (req.get_param_value("confirm") != "yes") {
        for (const ShareSummary& summary :
             context.database.listShares(*accountId, KeptSince(context), kHistoryLimit)) {
            if (summary.key == key)
                return SendPage(res, 200, ConfirmDeletePage(PageLanguageOf(req), login, summary));
        }
        return sendHistory(context, req, res, *accountId, PageText::ShareGone);
    }
    const bool deleted = context.database.deleteShare(*accountId, key);
    sendHistory(context, req, res, *accountId, deleted ? PageText::ShareDeleted : PageText::ShareGone);
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
    server.Post("/cp/delete.html",
                [&context](const HttpRequest& req, HttpResponse& res) { deleteShare(context, req, res); });
    server.setBodyLimit("POST", "/storage/share.html", kMaxUploadBodyBytes,
                        [&context](const HttpRequest& head, HttpResponse& res) {
                            return UploaderAdmitted(context, head, res);
                        });
}

} // namespace tern::server
