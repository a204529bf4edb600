#include "AccountCommands.h"

#include "ServiceSession.h"
#include "lang/TextKeys.h"
#include "service/PasswordDigest.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <istream>
#include <ostream>

namespace tern::tool {

namespace {

// The shortest password the registration accepts, in characters.
constexpr size_t kMinPasswordLength = 6;

// One line of standard input without its line end.
std::string readPassword(std::istream& in)
{
    std::string password;
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return password;
}

size_t characterCount(const std::string& utf8)
{
    size_t count = 0;
    for (size_t pos = 0; pos < utf8.size(); ++count)
        DecodeUtf8(utf8, pos);
    return count;
}

const std::string& emailArgument(const std::vector<std::string>& args)
{
    if (args.size() != 1 || args[0].empty())
        throw UsageError("expected one e-mail address");
    return args[0];
}

int runRegister(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    const std::string& email = emailArgument(args);
    ServiceSession session(context, true);
    const std::string password = readPassword(io.in);
    if (characterCount(password) < kMinPasswordLength)
        throw Error(SubstituteArgument(session.text(text::kPasswordShort.section, text::kPasswordShort.key),
                                       std::to_string(kMinPasswordLength)));
    if (const std::optional<std::string> error =
            session.client().RegisterAccount(email, PasswordDigest(password)))
        throw Error(*error);
    session.store().Save();
    io.out << session.text(text::kAccountRegistered.section, text::kAccountRegistered.key) << '\n';
    return kExitOk;
}

int runLogin(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    const std::string& email = emailArgument(args);
    ServiceSession session(context, true);
    const std::string password = readPassword(io.in);
    if (!session.client().TryLogin(email, PasswordDigest(password)))
        throw Error(session.text(text::kLoginFailed.section, text::kLoginFailed.key));
    session.store().Save();
    io.out << session.text(text::kLoginOk.section, text::kLoginOk.key) << '\n';
    return kExitOk;
}

int runHistoryUrl(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    if (!args.empty())
        throw UsageError("expected no arguments");
    ServiceSession session(context, true);
    session.requireAccount();
    io.out << session.client().HistoryUrl() << '\n';
    return kExitOk;
}

} // namespace

Command MakeRegisterCommand(ToolContext& context)
{
    return {"register",
            "register EMAIL              create an account (password on standard input) and store it",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runRegister(context, args, io);
            }};
}

Command MakeLoginCommand(ToolContext& context)
{
    return {"login", "login EMAIL                 sign in (password on standard input) and store the account",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runLogin(context, args, io);
            }};
}

Command MakeHistoryUrlCommand(ToolContext& context)
{
    return {"history-url", "history-url                 print the address of the account's history page",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runHistoryUrl(context, args, io);
            }};
}

} // namespace tern::tool
