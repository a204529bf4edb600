#include "TernServer.h"

namespace tern::server {

TernServer::TernServer(ServerOptions options, const RateLimiter::Clock& clock)
    : m_options(std::move(options)), m_database(m_options.dataDir),
      m_authenticator(m_database, m_options, clock), m_context{m_database, m_authenticator, m_options},
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
    m_port = m_http.bind(m_options.host, m_options.port);
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
    m_http.run();
    {
        std::lock_guard lock(m_stateMutex);
        m_running = false;
    }
    m_stateChanged.notify_all();
    return true;
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

std::string TernServer::baseUrl() const
{
    const bool ipv6 = m_options.host.find(':') != std::string::npos;
    const std::string host = ipv6 ? "[" + m_options.host + "]" : m_options.host;
    return "http://" + host + ":" + std::to_string(m_port);
}

} // namespace tern::server
