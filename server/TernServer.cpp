#include "TernServer.h"

#include "Pages.h"
#include "Replies.h"
#include "SharedItems.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tern::server {
namespace {

// Room for the multipart framing around the largest share payload.
constexpr std::size_t kMultipartOverhead = std::size_t{64} * 1024;

// Only the path is logged: query strings carry e-mail addresses and password values.
void logRequest(const httplib::Request& req, const httplib::Response& res)
{
    std::fprintf(stderr, "%s %s %s %d\n", req.remote_addr.c_str(), req.method.c_str(), req.path.c_str(),
                 res.status);
}

httplib::Server::HandlerResponse answerError(const httplib::Request& req, httplib::Response& res)
{
    // A read without valid credentials answers with an empty body on purpose.
    if (!res.body.empty() || req.path == "/storage/read.html")
        return httplib::Server::HandlerResponse::Unhandled;
    if (IsJsonPath(req.path)) {
        SendStatus(res, res.status == 413 ? "toolarge" : "badrequest");
    } else if (res.status == 404) {
        SendPage(res, res.status, MessagePage("Not found", "There is no page at this address."));
    } else {
        SendPage(res, res.status, MessagePage("Request refused", "The request could not be answered."));
    }
    return httplib::Server::HandlerResponse::Handled;
}

void answerException(const httplib::Request& req, httplib::Response& res, const std::exception_ptr& error)
{
    std::string what = "unknown error";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "tern-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(),
                 what.c_str());
    res.status = 500;
    if (IsJsonPath(req.path))
        SendStatus(res, "error");
    else if (req.path != "/storage/read.html")
        SendPage(res, 500, MessagePage("Server error", "The request could not be completed."));
}

} // namespace

TernServer::TernServer(ServerOptions options, WallClock clock)
    : m_options(std::move(options)), m_clock(clock ? std::move(clock) : WallClock(SystemSeconds)),
      m_database(m_options.databaseUrl, m_options.dataDir),
      m_authenticator(m_database, m_options, m_clock), m_context{m_database, m_authenticator, m_options,
                                                                 m_clock}
{
    configure();
}

void TernServer::configure()
{
    m_http.set_default_headers(SecurityHeaders());
    m_http.set_payload_max_length(kMaxShareBytes + kMultipartOverhead);
    m_http.set_read_timeout(30, 0);
    m_http.set_write_timeout(30, 0);
    m_http.set_error_handler(httplib::Server::HandlerWithResponse(answerError));
    m_http.set_exception_handler(answerException);
    if (m_options.accessLog)
        m_http.set_logger(logRequest);
    RegisterAuthHandlers(m_http, m_context);
    RegisterStorageHandlers(m_http, m_context);
    RegisterShareHandlers(m_http, m_context);
    RegisterStartHandlers(m_http, m_context);
}

int TernServer::bind()
{
    if (m_options.port == 0) {
        m_port = m_http.bind_to_any_port(m_options.host);
        if (m_port <= 0)
            throw std::runtime_error("cannot listen on " + m_options.host + " (any port)");
    } else {
        if (!m_http.bind_to_port(m_options.host, m_options.port))
            throw std::runtime_error("cannot listen on " + m_options.host + ":" +
                                     std::to_string(m_options.port));
        m_port = m_options.port;
    }
    return m_port;
}

bool TernServer::run()
{
    {
        std::lock_guard lock(m_stateMutex);
        if (m_stopRequested)
            return true;
        m_running = true;
    }
    std::thread housekeeping([this] { keepHouse(); });
    const bool served = m_http.listen_after_bind();
    {
        std::lock_guard lock(m_stateMutex);
        m_running = false;
    }
    m_stateChanged.notify_all();
    housekeeping.join();
    return served;
}

void TernServer::stop()
{
    std::unique_lock lock(m_stateMutex);
    m_stopRequested = true;
    // The listener ignores a stop that arrives before its accept loop has started, so the request is
    // repeated until run() has returned.
    while (m_running) {
        m_http.stop();
        m_stateChanged.wait_for(lock, std::chrono::milliseconds(10), [this] { return !m_running; });
    }
}

void TernServer::keepHouse()
{
    // Every server sharing the database does this; the deletions do not depend on who runs them.
    constexpr auto kInterval = std::chrono::minutes(10);
    std::unique_lock lock(m_stateMutex);
    while (m_running) {
        lock.unlock();
        try {
            if (m_options.shareDays > 0)
                m_database.deleteSharesBefore(KeptSince(m_context));
            const RateLimit* limits[] = {
                &m_options.failedLoginsPerAddress, &m_options.failedLoginsPerAccountAddress,
                &m_options.registrationsPerAddress, &m_options.validationsPerAddress};
            std::chrono::seconds longest{0};
            for (const RateLimit* limit : limits)
                longest = std::max({longest, limit->window, limit->maxDelay});
            m_database.pruneEvents(m_clock() - longest.count());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tern-server: housekeeping failed: %s\n", e.what());
        }
        lock.lock();
        m_stateChanged.wait_for(lock, kInterval, [this] { return !m_running; });
    }
}

std::string TernServer::baseUrl() const
{
    const bool ipv6 = m_options.host.find(':') != std::string::npos;
    const std::string host = ipv6 ? "[" + m_options.host + "]" : m_options.host;
    return "http://" + host + ":" + std::to_string(m_port);
}

} // namespace tern::server
