#pragma once

// Internal to the HTTP server: one accepted connection and what all connections share.

#include "http/ConnectionTable.h"
#include "http/HttpLimits.h"
#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "http/HttpService.h"

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include <boost/asio/generic/stream_protocol.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/basic_stream.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

namespace tern::server {

class HttpConnection;

// What the connections of one server share. Everything here but the service and the pool is touched
// on the I/O thread only.
struct ConnectionHub
{
    HttpService& service;
    const HttpLimits& limits;
    boost::asio::io_context& io;
    boost::asio::thread_pool& handlers;
    ConnectionTable open;
    bool stopping = false;
    // The body bytes the connections have reserved (HttpLimits::maxBufferedBodyBytes), in all and per
    // client address group (HttpLimits::maxBufferedBodyBytesPerAddress).
    std::size_t bufferedBodyBytes = 0;
    std::unordered_map<std::string, std::size_t> bufferedBodyBytesByAddress;
    // Where what a closing connection still receives is read into and dropped.
    std::array<char, 16384> discard{};
};

// Reads requests off one connection, each whole and within its limits and deadline, has the service
// answer them on a handler thread and writes the replies; keeps the connection for the next request
// when both sides want that. A large body is read only once the service has admitted the request's
// head. Lives as long as an operation of it is pending (shared_from_this).
class HttpConnection : public std::enable_shared_from_this<HttpConnection>
{
public:
    using Socket = boost::asio::generic::stream_protocol::socket;

    // `peer` names the other end (an address, or kUnixSocketPeer); the connection is counted in the
    // hub under `group` (empty: not per address).
    HttpConnection(Socket socket, ConnectionHub& hub, std::string peer, std::string group);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    void start() { readHeader(); }
    // Ends the connection now unless a request of it is being answered (that one ends after its
    // reply). On the I/O thread, when the server stops.
    void stopUnlessAnswering();
    // Ends the connection now to make room for another: it was waiting for a request.
    void shed() { close(); }

private:
    enum class Phase { Reading, Answering, Lingering };
    enum class AfterReply { KeepAlive, Close };

    void readHeader();
    void onHeader(boost::beast::error_code ec);
    // Has the service admit the head of a request with a large body, then reads it.
    void admitThenRead(std::size_t bodyBytes, std::size_t limit);
    // Reserves room for the body and reads it (or answers at once when there is none).
    void startBody(std::size_t bodyBytes, std::size_t limit);
    void readBody();
    void onBody(boost::beast::error_code ec);
    // A status that refuses the request whose head was read, or 0 to go on with it; `bodyLimit` is
    // what its route takes.
    int checkHead(std::size_t bodyLimit);
    void fillHead();
    void answer();
    void refuse(int status);
    void write(HttpResponse res, AfterReply after);
    void onWritten(boost::beast::error_code ec, AfterReply after);
    void linger();
    void close();
    // Reserves room for a body of `bytes` in the hub; false when there is none.
    bool reserveBody(std::size_t bytes);
    void releaseBody();
    std::chrono::steady_clock::duration timeFor(std::size_t bytes) const;

    ConnectionHub& m_hub;
    boost::beast::basic_stream<boost::asio::generic::stream_protocol> m_stream;
    boost::beast::flat_buffer m_buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> m_parser;
    std::optional<boost::beast::http::response<boost::beast::http::string_body>> m_reply;
    HttpRequest m_head; // the request being read, without its body
    std::string m_remoteAddress;
    std::string m_bodyGroup; // the client address group the reserved body is counted under
    Phase m_phase = Phase::Reading;
    bool m_keepAlive = false;
    bool m_headRequest = false;
    unsigned m_answered = 0;
    std::size_t m_discarded = 0;
    std::size_t m_reservedBody = 0;
};

} // namespace tern::server
