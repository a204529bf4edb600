#include "Replies.h"

namespace tern::server {

HttpHeaders SecurityHeaders()
{
    return {
        {"X-Content-Type-Options", "nosniff"},
        {"Content-Security-Policy", kContentSecurityPolicy},
        {"X-Frame-Options", "DENY"},
        {"Referrer-Policy", "no-referrer"},
        {"Cross-Origin-Resource-Policy", "same-origin"},
    };
}

void SendJson(HttpResponse& res, const nlohmann::json& reply)
{
    res.set_header("Cache-Control", "no-store");
    // Invalid UTF-8 in a reflected value must not make the reply fail.
    res.set_content(reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), "application/json");
}

void SendStatus(HttpResponse& res, std::string_view status)
{
    SendJson(res, nlohmann::json{{"status", std::string(status)}});
}

void SendPage(HttpResponse& res, int httpStatus, const std::string& html)
{
    res.status = httpStatus;
    res.set_header("Cache-Control", "no-store");
    res.set_header("Vary", "Accept-Language");
    res.set_content(html, "text/html; charset=utf-8");
}

PageLanguage PageLanguageOf(const HttpRequest& req)
{
    return PageLanguageFor(req.get_header_value("Accept-Language"));
}

void SendBytes(HttpResponse& res, const std::string& bytes, std::string_view contentType)
{
    res.set_header("Cache-Control", "no-store");
    res.set_content(bytes, std::string(contentType));
}

const std::string& ClientAddress(const HttpRequest& req)
{
    return req.remote_addr;
}

bool IsJsonPath(std::string_view path) noexcept
{
    return path.starts_with("/index.php/") || path == "/storage/save.html" || path == "/storage/share.html";
}

} // namespace tern::server
