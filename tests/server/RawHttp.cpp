#include "RawHttp.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace tern::server::test {
namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; Synapse)";

std::string head(const char* method, int port, const std::string& target)
{
    return std::string(method) + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) +
           "\r\nUser-Agent: " + kUserAgent + "\r\nAccept: */*\r\n";
}

bool lowerEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::string RawReply::header(std::string_view name) const
{
    std::size_t start = 0;
    while (start < headers.size()) {
        std::size_t end = headers.find("\r\n", start);
        if (end == std::string::npos)
            end = headers.size();
        const std::string_view line(headers.data() + start, end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && lowerEqual(line.substr(0, colon), name)) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            return std::string(value);
        }
        start = end + 2;
    }
    return {};
}

namespace {

// `from` is the loopback address to send from; empty: the system's choice.
int connectLoopback(int port, const std::string& from = {})
{
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return -1;
    timeval timeout{30, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!from.empty()) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        if (::inet_pton(AF_INET, from.c_str(), &source.sin_addr) != 1 ||
            ::bind(sock, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
            ::close(sock);
            return -1;
        }
    }
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

} // namespace

std::string Exchange(int port, const std::string& request, const std::string& from)
{
    const int sock = connectLoopback(port, from);
    if (sock < 0)
        return {};
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(sock, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    std::string received;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(sock, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(sock);
    return received;
}

RawReply ParseReply(const std::string& received)
{
    RawReply reply;
    const std::size_t lineEnd = received.find("\r\n");
    const std::size_t headEnd = received.find("\r\n\r\n");
    if (lineEnd == std::string::npos || headEnd == std::string::npos || received.size() < 12)
        return reply;
    reply.status = std::atoi(received.substr(9, 3).c_str());
    reply.headers = received.substr(lineEnd + 2, headEnd - lineEnd - 2);
    reply.body = received.substr(headEnd + 4);
    return reply;
}

RawReply SendRaw(int port, const std::string& request, const std::string& from)
{
    return ParseReply(Exchange(port, request, from));
}

namespace {

int connectUnix(const std::string& path)
{
    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (sock < 0 || path.size() >= sizeof address.sun_path) {
        if (sock >= 0)
            ::close(sock);
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

} // namespace

RawConnection::RawConnection(const UnixSocket& socket) : m_socket(connectUnix(socket.path))
{
    if (m_socket >= 0) {
        timeval timeout{10, 0};
        ::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
}

RawConnection::RawConnection(int port, const std::string& from) : m_socket(connectLoopback(port, from))
{
    if (m_socket >= 0) {
        timeval timeout{10, 0};
        ::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
}

RawConnection::~RawConnection()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

bool RawConnection::send(std::string_view bytes)
{
    while (m_socket >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return m_socket >= 0;
}

bool RawConnection::readable(std::chrono::milliseconds wait)
{
    if (m_socket < 0)
        return false;
    pollfd waiting{m_socket, POLLIN, 0};
    return ::poll(&waiting, 1, static_cast<int>(wait.count())) > 0;
}

std::string RawConnection::readAll(std::chrono::milliseconds limit)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[65536];
    while (m_socket >= 0 && !m_closed) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (!readable(std::max(left, std::chrono::milliseconds(0))))
            break;
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_closed = true;
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

bool RawConnection::closedWithin(std::chrono::milliseconds limit)
{
    readAll(limit);
    return m_closed;
}

std::string FormRequest(int port, const std::string& target, const std::string& body)
{
    return head("POST", port, target) +
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string GetRequest(int port, const std::string& target)
{
    return head("GET", port, target) + "\r\n";
}

std::string UploadRequest(int port, const std::string& target, std::string_view payload,
                          const std::string& boundary)
{
    std::string body = "--" + boundary + "\r\n";
    body += "content-disposition: form-data; name=\"data\"; filename=\"clpdata.gif\"\r\n";
    body += "Content-Type: Application/octet-string\r\n\r\n";
    body += payload;
    body += "\r\n--" + boundary + "--\r\n";
    return head("POST", port, target) + "Content-Type: multipart/form-data; boundary=" + boundary +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

} // namespace tern::server::test
