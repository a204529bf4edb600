#pragma once

#include "support/TestSockets.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tern::test {

// A one-connection-at-a-time HTTP server on 127.0.0.1 (a free port) for tests that need a web
// service other than tern-server. It records the raw bytes of every request (headers and the body
// announced by Content-Length) and then acts as told: send canned bytes, or the bytes a responder
// makes of the request, and close; send them one byte every 100 ms, as a stalling server does; close
// without a word; or hold the connection without answering until the client gives up or the server
// stops.
class RecordingHttpServer
{
public:
    enum class Behaviour {
        Reply,
        Trickle,
        Close,
        NeverAnswer,
    };

    // The whole reply (status line, headers and body) to a recorded request; runs on the server's
    // thread, one request at a time.
    using Responder = std::function<std::string(const std::string& request)>;

    explicit RecordingHttpServer(std::string replyBytes, Behaviour behaviour = Behaviour::Reply);
    explicit RecordingHttpServer(Responder responder);
    ~RecordingHttpServer();
    RecordingHttpServer(const RecordingHttpServer&) = delete;
    RecordingHttpServer& operator=(const RecordingHttpServer&) = delete;

    std::uint16_t port() const noexcept { return m_port; }
    // "http://127.0.0.1:PORT"
    std::string base() const;
    std::vector<std::string> requests() const;

    // A complete HTTP/1.0 response with the given status line text and body.
    static std::string Response(const std::string& status, const std::string& body,
                                const std::string& contentType = "application/json");

private:
    RecordingHttpServer(Behaviour behaviour, Responder responder);
    void serve();
    void handle(sockets::Socket connection);

    Responder m_responder;
    Behaviour m_behaviour;
    sockets::Socket m_listen = sockets::kNoSocket;
    // A byte sent on the second socket wakes the server thread, which watches the first: it stops.
    sockets::Socket m_wake[2] = {sockets::kNoSocket, sockets::kNoSocket};
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

} // namespace tern::test
