#include "Handlers.h"

#include "AccountRules.h"
#include "Replies.h"

namespace tern::server {
namespace {

void sendError(HttpResponse& res, std::string_view message)
{
    SendJson(res, nlohmann::json{{"status", "error"}, {"message", std::string(message)}});
}

std::string_view registerFailureText(RegisterOutcome outcome)
{
    switch (outcome) {
    case RegisterOutcome::InvalidEmail:
        return "Please enter a valid e-mail address.";
    case RegisterOutcome::InvalidPassword:
        return "The password could not be accepted.";
    case RegisterOutcome::Exists:
        return "An account with this e-mail address exists already.";
    case RegisterOutcome::Limited:
        return "Too many registrations from your address. Please try again later.";
    case RegisterOutcome::Created:
        break;
    }
    return {};
}

} // namespace

void RegisterAuthHandlers(Router& server, ServerContext& context)
{
    server.Post("/index.php/auth/validate", [&context](const HttpRequest& req, HttpResponse& res) {
        const std::string email = req.get_param_value("email");
        if (!IsAcceptableEmail(email))
            SendStatus(res, "notvalidated");
        else if (!context.authenticator.mayLookUp(ClientAddress(req)))
            SendStatus(res, "locked");
        else if (context.database.findAccount(email))
            SendStatus(res, "validated");
        else
            SendStatus(res, "unregistered");
    });

    server.Post("/index.php/auth/check", [&context](const HttpRequest& req, HttpResponse& res) {
        const AuthResult result = context.authenticator.authenticate(
            req.get_param_value("email"), req.get_param_value("pass"), ClientAddress(req));
        switch (result.outcome) {
        case AuthOutcome::Accepted:
            SendStatus(res, "ok");
            break;
        case AuthOutcome::Locked:
            sendError(res, "Too many failed logins. Please try again later.");
            break;
        case AuthOutcome::Refused:
            sendError(res, "Wrong e-mail address or password.");
            break;
        }
    });

    server.Post("/index.php/auth/register", [&context](const HttpRequest& req, HttpResponse& res) {
        const RegisterOutcome outcome = context.authenticator.registerAccount(
            req.get_param_value("email"), req.get_param_value("pass"), ClientAddress(req));
        if (outcome == RegisterOutcome::Created)
            SendStatus(res, "ok");
        else
            sendError(res, registerFailureText(outcome));
    });
}

} // namespace tern::server
