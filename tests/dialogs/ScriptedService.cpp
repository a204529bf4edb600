#include "ScriptedService.h"

#include <httplib.h>

namespace tern::test {

ScriptedService::ScriptedService() : m_server(std::make_unique<httplib::Server>())
{
    m_server->Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
        std::string body;
        std::chrono::milliseconds delay{0};
        {
            const std::lock_guard lock(m_mutex);
            ++m_requests[req.path];
            const auto found = m_bodies.find(req.path);
            if (found != m_bodies.end())
                body = found->second;
            delay = m_delay;
        }
        std::this_thread::sleep_for(delay);
        res.set_content(body, "text/html");
    });
    const int port = m_server->bind_to_any_port("127.0.0.1");
    m_address = "http://127.0.0.1:" + std::to_string(port);
    // The socket listens from here on; requests wait in its queue until the loop accepts them.
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() ends only a running loop: wait (bounded) until it runs.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_server->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ScriptedService::~ScriptedService()
{
    m_server->stop();
    m_thread.join();
}

void ScriptedService::answer(const std::string& path, const std::string& body)
{
    const std::lock_guard lock(m_mutex);
    m_bodies[path] = body;
}

void ScriptedService::setDelay(std::chrono::milliseconds delay)
{
    const std::lock_guard lock(m_mutex);
    m_delay = delay;
}

int ScriptedService::requestCount(const std::string& path)
{
    const std::lock_guard lock(m_mutex);
    return m_requests[path];
}

} // namespace tern::test
