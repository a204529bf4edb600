#include "http/HttpServer.h"

#include "http/HttpConnection.h"

#include <algorithm>
#include <stdexcept>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include <sys/resource.h>

namespace tern::server {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// Descriptors kept free of connections for the database, the log and the listening socket.
constexpr rlim_t kReservedDescriptors = 64;
// How long to wait before accepting again when the process is out of descriptors.
constexpr std::chrono::milliseconds kAcceptRetry{100};

// Raises the descriptor limit as far as allowed and returns how many connections fit under it.
std::size_t connectionsThatFit(std::size_t wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return std::min<std::size_t>(wanted, 1024 - kReservedDescriptors);
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY)
        return wanted;
    const rlim_t usable = limit.rlim_cur > 2 * kReservedDescriptors ? limit.rlim_cur - kReservedDescriptors
                                                                    : limit.rlim_cur / 2;
    return std::min<std::size_t>(wanted, static_cast<std::size_t>(usable));
}

} // namespace

struct HttpServer::State
{
    State(HttpService& service, const HttpLimits& serverLimits)
        : limits(serverLimits), hub{service, limits, io, handlers, {}, false},
          connectionLimit(connectionsThatFit(std::max<std::size_t>(serverLimits.maxConnections, 1)))
    {
    }
    ~State()
    {
        // No handler may run once destruction starts. Connections still queued on the pool or the
        // I/O loop are destroyed with them below, while the hub they leave is still there.
        handlers.stop();
        handlers.join();
    }

    void accept();
    void onAccepted(boost::beast::error_code ec, tcp::socket socket);
    void stop();

    HttpLimits limits;
    ConnectionHub hub;
    std::size_t connectionLimit;
    asio::io_context io{1};
    tcp::acceptor acceptor{io};
    asio::steady_timer acceptRetry{io};
    asio::thread_pool handlers{std::max(limits.handlerThreads, 1U)};
};

void HttpServer::State::accept()
{
    acceptor.async_accept(
        [this](boost::beast::error_code ec, tcp::socket socket) { onAccepted(ec, std::move(socket)); });
}

void HttpServer::State::onAccepted(boost::beast::error_code ec, tcp::socket socket)
{
    if (hub.stopping || ec == asio::error::operation_aborted)
        return;
    if (ec) {
        // Out of descriptors or memory: let connections end before taking more.
        acceptRetry.expires_after(kAcceptRetry);
        acceptRetry.async_wait([this](boost::beast::error_code waitError) {
            if (!waitError && !hub.stopping)
                accept();
        });
        return;
    }
    if (hub.open.size() >= connectionLimit) {
        boost::beast::error_code ignored;
        socket.close(ignored);
    } else {
        boost::beast::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        std::make_shared<HttpConnection>(std::move(socket), hub)->start();
    }
    accept();
}

void HttpServer::State::stop()
{
    hub.stopping = true;
    boost::beast::error_code ignored;
    acceptor.close(ignored);
    acceptRetry.cancel();
    // Closing may end a connection, which leaves the set: walk a copy.
    const std::vector<HttpConnection*> open(hub.open.begin(), hub.open.end());
    for (HttpConnection* connection : open) {
        if (hub.open.count(connection) != 0)
            connection->stopUnlessAnswering();
    }
}

HttpServer::HttpServer(HttpService& service, const HttpLimits& limits)
    : m_state(std::make_unique<State>(service, limits))
{
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string& host, int port)
{
    const std::string where = port == 0 ? host + " (any port)" : host + ":" + std::to_string(port);
    boost::beast::error_code ec;
    tcp::resolver resolver(m_state->io);
    const auto endpoints = resolver.resolve(host, std::to_string(port),
                                            tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    if (ec || endpoints.empty())
        throw std::runtime_error("cannot listen on " + where);
    const tcp::endpoint endpoint = endpoints.begin()->endpoint();
    tcp::acceptor& acceptor = m_state->acceptor;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(endpoint, ec);
    if (!ec)
        acceptor.listen(m_state->limits.listenBacklog, ec);
    if (ec) {
        boost::beast::error_code ignored;
        acceptor.close(ignored);
        throw std::runtime_error("cannot listen on " + where);
    }
    m_state->accept();
    return acceptor.local_endpoint().port();
}

void HttpServer::run()
{
    m_state->io.run();
}

void HttpServer::stop()
{
    State* state = m_state.get();
    asio::post(state->io, [state] { state->stop(); });
}

} // namespace tern::server
