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
    // Open connections; beyond this a new connection is closed at once.
    std::size_t maxConnections = 4096;
    // Threads that run the handlers (credential checks and database work), off the I/O thread.
    unsigned handlerThreads = 8;
    // Requests answered on one kept-alive connection before it is closed.
    unsigned maxRequestsPerConnection = 1000;
    // Pending connections the kernel queues before accept().
    int listenBacklog = 1024;
};

} // namespace tern::server
