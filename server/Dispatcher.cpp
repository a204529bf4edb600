#include "Dispatcher.h"

#include "ForwardedClient.h"
#include "Pages.h"
#include "Replies.h"

#include <cstdio>

namespace tern::server {
namespace {

// A read without valid credentials is answered with an empty body on purpose.
bool answersWithoutBody(const HttpRequest& req)
{
    return req.path == "/storage/read.html";
}

void fillErrorBody(const HttpRequest& req, HttpResponse& res)
{
    if (!res.body.empty() || answersWithoutBody(req))
        return;
    if (IsJsonPath(req.path)) {
        SendStatus(res, res.status == 413 ? "toolarge" : res.status >= 500 ? "error" : "badrequest");
    } else if (res.status == 404) {
        SendPage(res, res.status, MessagePage(PageLanguageOf(req), PageText::NotFound, PageText::NoPageHere));
    } else {
        SendPage(res, res.status,
                 MessagePage(PageLanguageOf(req), PageText::RequestRefused, PageText::RequestNotAnswered));
    }
}

// `text` fit for one log line: control bytes (a decoded path may hold line feeds) become '?'.
std::string forLog(std::string_view text)
{
    std::string line(text.substr(0, 2048));
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return line;
}

void answerException(const HttpRequest& req, HttpResponse& res, const char* what)
{
    std::fprintf(stderr, "tern-server: %s %s failed: %s\n", forLog(req.method).c_str(),
                 forLog(req.path).c_str(), what);
    res = HttpResponse();
    res.status = 500;
    if (IsJsonPath(req.path))
        SendStatus(res, "error");
    else if (!answersWithoutBody(req))
        SendPage(res, 500,
                 MessagePage(PageLanguageOf(req), PageText::ServerError, PageText::RequestNotCompleted));
}

} // namespace

std::size_t Dispatcher::bodyLimit(const HttpRequest& head) const noexcept
{
    try {
        return m_router.bodyLimit(head.method, head.path);
    } catch (...) {
        return kDefaultBodyLimit; // a pattern too complex to match this path: no route takes it
    }
}

std::string Dispatcher::clientAddress(const HttpRequest& head) const noexcept
{
    try {
        return ForwardedClient(head, m_trustedProxies);
    } catch (...) {
        return {}; // out of memory: counted with every other such request
    }
}

bool Dispatcher::isTrustedProxy(const std::string& peer) const noexcept
{
    return IsTrustedProxy(peer, m_trustedProxies);
}

std::optional<HttpResponse> Dispatcher::admitBody(const HttpRequest& head) const noexcept
{
    HttpResponse res;
    try {
        HttpRequest req = head;
        req.remote_addr = ForwardedClient(req, m_trustedProxies);
        const HeadCheck* check = m_router.admission(req.method, req.path);
        if (!check || (*check)(req, res))
            return std::nullopt;
        if (res.status >= 400)
            fillErrorBody(req, res);
        finish(req, res);
        return res;
    } catch (const std::exception& e) {
        return answerFailure(head, e.what());
    } catch (...) {
        return answerFailure(head, "unknown error");
    }
}

HttpResponse Dispatcher::answer(HttpRequest& req) const noexcept
{
    HttpResponse res;
    try {
        req.remote_addr = ForwardedClient(req, m_trustedProxies);
        switch (m_router.dispatch(req, res)) {
        case Router::Outcome::Handled:
            break;
        case Router::Outcome::NoRoute:
            res.status = 404;
            break;
        case Router::Outcome::UnknownMethod:
            res.status = 400;
            break;
        }
        if (res.status >= 400)
            fillErrorBody(req, res);
        finish(req, res);
        return res;
    } catch (const std::exception& e) {
        return answerFailure(req, e.what());
    } catch (...) {
        return answerFailure(req, "unknown error");
    }
}

HttpResponse Dispatcher::answerFailure(const HttpRequest& req, const char* what) const noexcept
{
    HttpResponse res;
    try {
        answerException(req, res, what);
        finish(req, res);
    } catch (...) {
        // Out of memory: the smallest reply that still says what the path's clients read.
        res = bareReply(req, 500);
    }
    return res;
}

HttpResponse Dispatcher::refuse(const HttpRequest& req, int status) const noexcept
{
    HttpResponse res;
    res.status = status;
    try {
        fillErrorBody(req, res);
        finish(req, res);
    } catch (...) {
        res = bareReply(req, status); // out of memory
    }
    return res;
}

HttpResponse Dispatcher::bareReply(const HttpRequest& req, int status) noexcept
{
    HttpResponse res;
    res.status = status;
    try {
        if (IsJsonPath(req.path)) {
            res.body = status == 413   ? R"({"status":"toolarge"})"
                       : status >= 500 ? R"({"status":"error"})"
                                       : R"({"status":"badrequest"})";
            res.headers.emplace("Content-Type", "application/json");
        }
    } catch (...) {
        res = HttpResponse();
        res.status = status;
    }
    return res;
}

void Dispatcher::finish(const HttpRequest& req, HttpResponse& res) const
{
    static const HttpHeaders security = SecurityHeaders();
    for (const auto& [name, value] : security) {
        if (!res.has_header(name))
            res.headers.emplace(name, value);
    }
    // Only the path is logged: query strings carry e-mail addresses and password values.
    if (m_accessLog)
        std::fprintf(stderr, "%s %s %s %d\n", req.remote_addr.c_str(), forLog(req.method).c_str(),
                     forLog(req.path).c_str(), res.status);
}

} // namespace tern::server
