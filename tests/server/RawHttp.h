#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tern::server::test {

// A reply read off the socket as it came: the status code, the header block and the body.
struct RawReply
{
    int status = 0;
    std::string headers; // the header lines, CR LF separated, without the status line
    std::string body;

    // The value of the first header named `name` (ASCII case-insensitive), or empty.
    std::string header(std::string_view name) const;
};

// Sends `request` byte for byte to 127.0.0.1:`port` and reads until the server closes the connection
// (HTTP/1.0). A reply that cannot be read gives status 0. `from` is the loopback address to send from
// (any of 127.0.0.0/8, so that tests can play several clients); empty: the system's choice.
RawReply SendRaw(int port, const std::string& request, const std::string& from = {});
// The status line, headers and body of the first reply in `received`; status 0 when it holds none.
RawReply ParseReply(const std::string& received);
// Sends `request` and returns every byte received until the server closes the connection (within
// 30 seconds).
std::string Exchange(int port, const std::string& request, const std::string& from = {});

// The path of a Unix socket to connect to.
struct UnixSocket
{
    std::string path;
};

// A loopback connection driven piece by piece, for requests sent slowly or without end. Every call
// is bounded in time; the socket closes with the object.
class RawConnection
{
public:
    // `from` is the loopback address to connect from (see SendRaw).
    explicit RawConnection(int port, const std::string& from = {});
    explicit RawConnection(const UnixSocket& socket);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const noexcept { return m_socket >= 0; }
    // Sends all of `bytes`; false when the server closed or reset the connection or would not take
    // them within 10 seconds.
    bool send(std::string_view bytes);
    // Whether the server has answered or closed: bytes or the end of the stream are waiting.
    bool readable(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    // Reads until the server closes the connection or `limit` passes: the bytes received.
    std::string readAll(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Whether the server closed (or reset) the connection within `limit`, reading and dropping
    // whatever it sent first.
    bool closedWithin(std::chrono::milliseconds limit);

private:
    int m_socket = -1;
    bool m_closed = false;
};

// The requests exactly as the desktop client writes them: HTTP/1.0, its User-Agent, a form body, or
// one multipart file part named "data" with the file name "clpdata.gif".
std::string FormRequest(int port, const std::string& target, const std::string& body);
std::string GetRequest(int port, const std::string& target);
std::string UploadRequest(int port, const std::string& target, std::string_view payload,
                          const std::string& boundary = "1A2B3C4D_Synapse_boundary");

} // namespace tern::server::test
