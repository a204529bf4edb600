#include "Handlers.h"

#include "Pages.h"
#include "Replies.h"
#include "StyleSheet.h"

#include <charconv>

namespace tern::server {
namespace {

std::optional<std::uint32_t> parseBuild(const std::string& text)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// The version answer: a status line, then message lines, each ended by CR LF. An older build gets
// "outdated;" and the newest build number followed by the configured message.
std::string versionAnswer(std::uint32_t build, const ServerOptions& options)
{
    if (build >= options.latestBuild)
        return "uptodate\r\n";
    std::string answer = "outdated;" + std::to_string(options.latestBuild) + "\r\n";
    for (const std::string& line : options.latestMessage)
        answer += line + "\r\n";
    return answer;
}

} // namespace

void RegisterStartHandlers(Router& server, ServerContext& context)
{
    server.Get("/start/check.html", [&context](const HttpRequest& req, HttpResponse& res) {
        const auto build = parseBuild(req.get_param_value("v"));
        if (!build) {
            res.status = 400;
            return SendBytes(res, "invalid\r\n", "text/plain; charset=utf-8");
        }
        SendBytes(res, versionAnswer(*build, context.options), "text/plain; charset=utf-8");
    });
    server.Get("/start/download.html", [&context](const HttpRequest& req, HttpResponse& res) {
        SendPage(res, 200,
                 DownloadPage(PageLanguageOf(req), req.get_param_value("lang"), context.options.latestBuild,
                              context.options.latestMessage));
    });
    server.Get("/start/forgot.html", [](const HttpRequest& req, HttpResponse& res) {
        SendPage(res, 200, ForgotPage(PageLanguageOf(req), req.get_param_value("email")));
    });
    server.Get("/help/?", [](const HttpRequest& req, HttpResponse& res) {
        SendPage(res, 200, HelpPage(PageLanguageOf(req)));
    });
    server.Get("/", [](const HttpRequest& req, HttpResponse& res) {
        SendPage(res, 200, StartPage(PageLanguageOf(req)));
    });
    server.Get("/style.css", [](const HttpRequest&, HttpResponse& res) {
        res.set_header("Cache-Control", "public, max-age=3600");
        res.set_content(std::string(StyleSheet()), "text/css; charset=utf-8");
    });
}

} // namespace tern::server
