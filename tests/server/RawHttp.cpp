#include "RawHttp.h"

#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
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

RawReply SendRaw(int port, const std::string& request, const std::string& from)
{
    RawReply reply;
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    if (sock < 0)
        return reply;
    timeval timeout{30, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (!from.empty()) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        if (::inet_pton(AF_INET, from.c_str(), &source.sin_addr) != 1 ||
            ::bind(sock, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
            ::close(sock);
            return reply;
        }
    }
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::size_t sent = 0;
        while (sent < request.size()) {
            const ssize_t n = ::send(sock, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<std::size_t>(n);
        }
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(sock, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(sock);
    const std::size_t lineEnd = received.find("\r\n");
    const std::size_t headEnd = received.find("\r\n\r\n");
    if (lineEnd == std::string::npos || headEnd == std::string::npos || received.size() < 12)
        return reply;
    reply.status = std::atoi(received.substr(9, 3).c_str());
    reply.headers = received.substr(lineEnd + 2, headEnd - lineEnd - 2);
    reply.body = received.substr(headEnd + 4);
    return reply;
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
