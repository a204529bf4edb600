#pragma once

#include "Authenticator.h"
#include "Database.h"
#include "Dispatcher.h"
#include "Handlers.h"
#include "RateLimiter.h"
#include "ServerOptions.h"
#include "WallClock.h"
#include "http/HttpServer.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace tern::server {

// The whole service: the database in the data folder, the credential checks and every route, on one
// HTTP server. Construct, bind(), then run() on the thread that should serve; stop() from any thread
// (or a signal-waiting thread) makes run() return after the requests in progress are answered.
class TernServer
{
public:
    // Opens (or creates) the database and brings its schema up to date; throws DatabaseError when it
    // cannot. `clock` is the system's clock unless a test passes its own.
    explicit TernServer(ServerOptions options, WallClock clock = {});
    TernServer(const TernServer&) = delete;
    TernServer& operator=(const TernServer&) = delete;

    // Binds the configured host and port (port 0: any free port) and returns the port, or the
    // configured Unix socket (and returns 0); throws std::runtime_error when it cannot be bound.
    int bind();
    // Serves until stop(); throws when serving fails. Returns at once when stop() came first. While it
    // serves, expired shares and forgotten limit counters are deleted now and then.
    void run();
    // Makes run() return and waits for that; safe from any thread but a request handler's.
    void stop();

    int port() const noexcept { return m_port; }
    // "http://HOST:PORT" of the bound address, or "unix:PATH".
    std::string baseUrl() const;

private:
    void configure();
    void keepHouse();

    ServerOptions m_options;
    WallClock m_clock;
    Database m_database;
    Authenticator m_authenticator;
    ServerContext m_context;
    Dispatcher m_dispatcher;
    HttpServer m_http;
    int m_port = 0;

    std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    bool m_stopRequested = false;
    bool m_running = false;
};

} // namespace tern::server
