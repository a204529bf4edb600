#pragma once

#include "http/HttpLimits.h"
#include "http/HttpService.h"

#include <memory>
#include <string>

namespace tern::server {

// An HTTP/1.0 and HTTP/1.1 server on one I/O thread: connections cost no thread while they wait, and
// each request must arrive whole within its deadline and limits before it reaches the service. The
// service runs on a pool of handler threads, so slow handlers never hold up reading or writing.
class HttpServer
{
public:
    // `service` must outlive the server.
    HttpServer(HttpService& service, const HttpLimits& limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on `host` (a name or an address) and `port` (0: any free port); returns the port bound.
    // Throws std::runtime_error, saying why and what to do, when the address cannot be bound.
    int bind(const std::string& host, int port);
    // Listens on a Unix socket at `path` instead; a socket file left there by a server that has
    // ended is replaced. The socket is removed when the server is destroyed. Throws as bind().
    void bindUnix(const std::string& path);
    // Serves on the calling thread until stop(); the requests in progress are answered first.
    void run();
    // Makes run() return; safe from any thread, also before run().
    void stop();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace tern::server
