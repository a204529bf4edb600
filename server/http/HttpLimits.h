#pragma once

#include <chrono>
#include <cstddef>

namespace tern::server {

// The bounds that keep slow or oversized requests from tying up the server.
struct HttpLimits
{
    // The request line and every header field together.
    std::size_t maxHeaderBytes = std::size_t{16} * 1024;
    std::size_t maxHeaderFields = 100;
    // Time for the request line and headers to arrive, counted from the first byte awaited (for a
    // kept-alive connection: from the end of the previous reply).
    std::chrono::seconds headerTimeout{10};
    // The body must arrive at least this fast on average: a request's whole deadline is headerTimeout
    // plus its body limit at this rate. Replies are given the same rate.
    std::size_t minBytesPerSecond = std::size_t{32} * 1024;
    // Open connections. When all are taken, a newcomer is served in place of the connection that has
    // waited longest for its request (idle, or sending slowly) of the address holding the most, as
    // long as that address holds more than the newcomer's; otherwise the newcomer is closed at once.
    std::size_t maxConnections = 4096;
    // Open connections of one client address (an IPv6 client by its /64); more are closed at once.
    // Connections of a trusted proxy, and over a Unix socket, are not counted per address.
    std::size_t maxConnectionsPerAddress = 64;
    // Threads that run the handlers (credential checks and database work), off the I/O thread.
    unsigned handlerThreads = 8;
    // Requests answered on one kept-alive connection before it is closed.
    unsigned maxRequestsPerConnection = 1000;
    // Request bodies held at once, all connections together; a request whose body would go beyond is
    // refused with 503 before its body is read. A chunked body counts as its path's largest.
    std::size_t maxBufferedBodyBytes = std::size_t{512} * 1024 * 1024;
    // The share of those bytes that the requests of one client address may hold at once.
    std::size_t maxBufferedBodyBytesPerAddress = std::size_t{32} * 1024 * 1024;
    // A body declared larger than this (or a chunked one on a path that takes more) is read only after
    // the service has admitted the request's head (its credentials): nobody without an account can
    // make the server hold large bodies.
    std::size_t uncheckedBodyBytes = std::size_t{64} * 1024;
    // Pending connections the kernel queues before accept().
    int listenBacklog = 1024;
};

} // namespace tern::server
