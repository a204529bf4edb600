#include "http/HttpServer.h"

#include "http/AddressGroup.h"
#include "http/HttpConnection.h"
#include "http/ListenError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <boost/asio/basic_socket_acceptor.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tern::server {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Protocol = asio::generic::stream_protocol;

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

// The canonical address of a connection's peer, or kUnixSocketPeer; empty when it cannot be known.
std::string peerName(const Protocol::socket& socket)
{
    boost::beast::error_code ec;
    const Protocol::endpoint peer = socket.remote_endpoint(ec);
    if (ec)
        return {};
    if (peer.protocol().family() == AF_UNIX)
        return std::string(kUnixSocketPeer);
    if (peer.protocol().family() == AF_INET && peer.size() >= sizeof(sockaddr_in)) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(peer.data());
        asio::ip::address_v4::bytes_type bytes{};
        std::copy_n(reinterpret_cast<const unsigned char*>(&in->sin_addr), 4, bytes.begin());
        return asio::ip::address_v4(bytes).to_string();
    }
    if (peer.protocol().family() == AF_INET6 && peer.size() >= sizeof(sockaddr_in6)) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(peer.data());
        asio::ip::address_v6::bytes_type bytes{};
        std::copy_n(in->sin6_addr.s6_addr, 16, bytes.begin());
        asio::ip::address_v6 address(bytes);
        if (address.is_v4_mapped())
            return asio::ip::make_address_v4(asio::ip::v4_mapped, address).to_string();
        return address.to_string();
    }
    return {};
}

} // namespace

struct HttpServer::State
{
    State(HttpService& service, const HttpLimits& serverLimits)
        : limits(serverLimits), hub{service, limits, io, handlers, {}, false, 0, {}, {}},
          connectionLimit(connectionsThatFit(std::max<std::size_t>(serverLimits.maxConnections, 1)))
    {
    }
    ~State();

    void accept();
    void onAccepted(boost::beast::error_code ec, Protocol::socket socket);
    // Whether a newcomer from `group` may be served now; makes room for it when every slot is taken.
    bool admit(const std::string& group);
    void stop();
    void listen(const Protocol::endpoint& endpoint, const std::string& where);

    HttpLimits limits;
    ConnectionHub hub;
    std::size_t connectionLimit;
    asio::io_context io{1};
    asio::basic_socket_acceptor<Protocol> acceptor{io};
    std::string unixSocketPath; // removed when the server ends
    asio::steady_timer acceptRetry{io};
    asio::thread_pool handlers{std::max(limits.handlerThreads, 1U)};
};

void HttpServer::State::accept()
{
    acceptor.async_accept(
        [this](boost::beast::error_code ec, Protocol::socket socket) { onAccepted(ec, std::move(socket)); });
}

void HttpServer::State::onAccepted(boost::beast::error_code ec, Protocol::socket socket)
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
    std::string peer = peerName(socket);
    // A proxy's connections carry many clients: it limits them itself.
    std::string group = peer.empty() || hub.service.isTrustedProxy(peer) ? std::string() : AddressGroup(peer);
    boost::beast::error_code ignored;
    if (!admit(group)) {
        socket.close(ignored);
    } else {
        socket.set_option(tcp::no_delay(true), ignored); // fails harmlessly on a Unix socket
        std::make_shared<HttpConnection>(std::move(socket), hub, std::move(peer), std::move(group))->start();
    }
    accept();
}

bool HttpServer::State::admit(const std::string& group)
{
    if (!group.empty() &&
        hub.open.countOf(group) >= std::max<std::size_t>(limits.maxConnectionsPerAddress, 1))
        return false;
    if (hub.open.size() < connectionLimit)
        return true;
    // Full: the address holding the most gives up the connection that has waited longest.
    HttpConnection* shed = hub.open.toShed(group);
    if (!shed)
        return false;
    shed->shed();
    return true;
}

void HttpServer::State::stop()
{
    hub.stopping = true;
    boost::beast::error_code ignored;
    acceptor.close(ignored);
    acceptRetry.cancel();
    // Closing ends a connection, which leaves the table: walk a copy.
    for (HttpConnection* connection : hub.open.all())
        connection->stopUnlessAnswering();
}

HttpServer::HttpServer(HttpService& service, const HttpLimits& limits)
    : m_state(std::make_unique<State>(service, limits))
{
}

HttpServer::~HttpServer() = default;

void HttpServer::State::listen(const Protocol::endpoint& endpoint, const std::string& where)
{
    boost::beast::error_code ec;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec && endpoint.protocol().family() != AF_UNIX)
        acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(endpoint, ec);
    if (!ec)
        acceptor.listen(limits.listenBacklog, ec);
    if (ec) {
        boost::beast::error_code ignored;
        acceptor.close(ignored);
        throw std::runtime_error(ListenErrorText(where, ec.value()));
    }
}

HttpServer::State::~State()
{
    // No handler may run once destruction starts. Connections still queued on the pool or the I/O
    // loop are destroyed with them below, while the hub they leave is still there.
    handlers.stop();
    handlers.join();
    if (!unixSocketPath.empty())
        ::unlink(unixSocketPath.c_str());
}

int HttpServer::bind(const std::string& host, int port)
{
    const std::string where = port == 0 ? host + " (any port)" : host + ":" + std::to_string(port);
    boost::beast::error_code ec;
    tcp::resolver resolver(m_state->io);
    const auto endpoints = resolver.resolve(host, std::to_string(port),
                                            tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    if (ec || endpoints.empty())
        throw std::runtime_error("cannot listen on " + where + ": " + host +
                                 " is no address of this computer. Name one with --listen HOST:PORT.");
    m_state->listen(Protocol::endpoint(endpoints.begin()->endpoint()), where);
    m_state->accept();
    const Protocol::endpoint local = m_state->acceptor.local_endpoint();
    tcp::endpoint bound;
    std::memcpy(bound.data(), local.data(), std::min(local.size(), bound.capacity()));
    bound.resize(std::min(local.size(), bound.capacity()));
    return bound.port();
}

void HttpServer::bindUnix(const std::string& path)
{
    const std::string where = "unix:" + path;
    // A socket file left by a server that ended without removing it is replaced; any other file is not.
    struct stat status
    {
    };
    if (::lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode)) {
        asio::local::stream_protocol::socket probe(m_state->io);
        boost::beast::error_code ec;
        probe.connect(asio::local::stream_protocol::endpoint(path), ec);
        if (!ec)
            throw std::runtime_error(ListenErrorText(where, EADDRINUSE));
        ::unlink(path.c_str());
    }
    m_state->listen(Protocol::endpoint(asio::local::stream_protocol::endpoint(path)), where);
    m_state->unixSocketPath = path;
    // Who may connect is decided by the folder the socket lies in: the socket itself is open to all
    // who can reach it.
    ::chmod(path.c_str(), 0666);
    m_state->accept();
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
