#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace tern::test {

// A service on a free loopback port that answers each POST path with a body the test sets, after an
// optional delay: for replies the reference service never gives (unknown statuses, text that is not
// JSON). A path without a body gets an empty reply.
class ScriptedService
{
public:
    ScriptedService();
    ~ScriptedService();
    ScriptedService(const ScriptedService&) = delete;
    ScriptedService& operator=(const ScriptedService&) = delete;

    // "http://127.0.0.1:PORT"
    const std::string& address() const noexcept { return m_address; }
    // `path` as the client requests it, e.g. "/index.php/auth/validate".
    void answer(const std::string& path, const std::string& body);
    void setDelay(std::chrono::milliseconds delay);
    int requestCount(const std::string& path);

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::string m_address;
    std::mutex m_mutex;
    std::map<std::string, std::string> m_bodies;
    std::map<std::string, int> m_requests;
    std::chrono::milliseconds m_delay{0};
};

} // namespace tern::test
