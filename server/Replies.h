#pragma once

#include "PageTexts.h"
#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tern::server {

// Content-Security-Policy of every reply: nothing but this site's stylesheet and images, forms that
// post only to this site (the history page's delete buttons); no script, no frames, no plugins.
constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; style-src 'self'; img-src 'self'; base-uri 'none'; form-action 'self'; "
    "frame-ancestors 'none'";

// Headers sent with every reply: no content sniffing, the policy above, no framing, no referrer (the
// history address carries credentials).
HttpHeaders SecurityHeaders();

// A JSON object reply, never cached.
void SendJson(HttpResponse& res, const nlohmann::json& reply);
// {"status": status}
void SendStatus(HttpResponse& res, std::string_view status);
// An HTML page, never cached; its language follows the request's Accept-Language (Vary says so).
void SendPage(HttpResponse& res, int httpStatus, const std::string& html);

// The language the request's browser asks the pages to be in.
PageLanguage PageLanguageOf(const HttpRequest& req);
// Plain text lines or raw bytes of the given type, never cached.
void SendBytes(HttpResponse& res, const std::string& bytes, std::string_view contentType);

// The address the request came from: the peer of the connection, or the client that a trusted proxy
// named for it (the dispatcher puts that in remote_addr before any handler runs).
const std::string& ClientAddress(const HttpRequest& req);

// Paths whose clients read JSON: every failure there is answered with a JSON object.
bool IsJsonPath(std::string_view path) noexcept;

} // namespace tern::server
