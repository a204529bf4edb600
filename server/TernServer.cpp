#include "TernServer.h"

#include <algorithm>
#include <cstdio>

namespace tern::server {

TernServer::TernServer(ServerOptions options, WallClock clock)
    : m_options(std::move(options)), m_clock(clock ? std::move(clock) : WallClock(SystemSeconds)),
      m_database(m_options.databaseUrl, m_options.dataDir),
      m_authenticator(m_database, m_options, m_clock), m_context{m_database, m_authenticator, m_options,
                                                                 m_clock},
      m_dispatcher(m_options.accessLog, m_options.trustedProxies), m_http(m_dispatcher, m_options.http)
{
    configure();
}

void TernServer::configure()
{
    RegisterAuthHandlers(m_dispatcher.router(), m_context);
    RegisterStorageHandlers(m_dispatcher.router(), m_context);
    RegisterShareHandlers(m_dispatcher.router(), m_context);
    RegisterStartHandlers(m_dispatcher.router(), m_context);
}

int TernServer::bind()
{
    if (!m_options.unixSocket.empty()) {
        m_http.bindUnix(m_options.unixSocket);
        return m_port = 0;
    }
    m_port = m_http.bind(m_options.host, m_options.port);
    return m_port;
}

void TernServer::run()
{
    {
        std::lock_guard lock(m_stateMutex);
        if (m_stopRequested)
            return;
        m_running = true;
    }
    std::thread housekeeping([this] { keepHouse(); });
    // However serving ends, the housekeeping ends with it.
    const auto finish = [&] {
        {
            std::lock_guard lock(m_stateMutex);
            m_running = false;
        }
        m_stateChanged.notify_all();
        housekeeping.join();
    };
    try {
        m_http.run();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TernServer::stop()
{
    std::unique_lock lock(m_stateMutex);
    if (m_stopRequested)
        return m_stateChanged.wait(lock, [this] { return !m_running; });
    m_stopRequested = true;
    m_http.stop();
    m_stateChanged.wait(lock, [this] { return !m_running; });
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
    if (!m_options.unixSocket.empty())
        return "unix:" + m_options.unixSocket;
    const bool ipv6 = m_options.host.find(':') != std::string::npos;
    const std::string host = ipv6 ? "[" + m_options.host + "]" : m_options.host;
    return "http://" + host + ":" + std::to_string(m_port);
}

} // namespace tern::server
