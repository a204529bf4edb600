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

HttpRequest fromTransport(const httplib::Request& in)
{
    HttpRequest req;
    req.method = in.method;
    req.target = in.target;
    req.path = in.path;
    req.http10 = in.version == "HTTP/1.0";
    for (const auto& [name, value] : in.headers)
        req.headers.emplace(name, value);
    req.params.insert(in.params.begin(), in.params.end());
    req.remote_addr = in.remote_addr;
    req.remote_port = in.remote_port;
    req.body = in.body;
    if (in.is_multipart_form_data()) {
        // The transport parsed the parts already: frame them again for the handlers.
        const std::string boundary = "tern-part-boundary";
        req.headers.erase("Content-Type");
        req.headers.emplace("Content-Type", "multipart/form-data; boundary=" + boundary);
        req.body.clear();
        for (const auto& [name, file] : in.files)
            req.body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name +
                        "\"\r\n\r\n" + file.content + "\r\n";
        req.body += "--" + boundary + "--\r\n";
    }
    return req;
}

void toTransport(const HttpResponse& res, httplib::Response& out)
{
    out.status = res.status;
    out.headers.clear();
    for (const auto& [name, value] : res.headers)
        out.set_header(name, value);
    out.body = res.body;
}

} // namespace

TernServer::TernServer(ServerOptions options, WallClock clock)
    : m_options(std::move(options)), m_clock(clock ? std::move(clock) : WallClock(SystemSeconds)),
      m_database(m_options.databaseUrl, m_options.dataDir),
      m_authenticator(m_database, m_options, m_clock), m_context{m_database, m_authenticator, m_options,
                                                                 m_clock},
      m_dispatcher(m_options.accessLog)
{
    configure();
}

void TernServer::configure()
{
    RegisterAuthHandlers(m_dispatcher.router(), m_context);
    RegisterStorageHandlers(m_dispatcher.router(), m_context);
    RegisterShareHandlers(m_dispatcher.router(), m_context);
    RegisterStartHandlers(m_dispatcher.router(), m_context);

    m_http.set_payload_max_length(kMaxShareBytes + kMultipartOverhead);
    m_http.set_read_timeout(30, 0);
    m_http.set_write_timeout(30, 0);
    const auto answer = [this](const httplib::Request& in, httplib::Response& out) {
        HttpRequest req = fromTransport(in);
        toTransport(m_dispatcher.answer(req), out);
    };
    for (const char* pattern : {".*"}) {
        m_http.Get(pattern, answer);
        m_http.Post(pattern, answer);
        m_http.Put(pattern, answer);
        m_http.Delete(pattern, answer);
        m_http.Options(pattern, answer);
        m_http.Patch(pattern, answer);
    }
    m_http.set_error_handler([this](const httplib::Request& in, httplib::Response& out) {
        if (!out.has_header("X-Content-Type-Options")) {
            HttpRequest req = fromTransport(in);
            toTransport(m_dispatcher.refuse(req, out.status), out);
        }
    });
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
