#include "support/RecordingHttpServer.h"

#include <cstdlib>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tern::test {

namespace {

size_t contentLength(const std::string& headers)
{
    for (const std::string name : {"Content-Length:", "content-length:"}) {
        const size_t at = headers.find(name);
        if (at != std::string::npos)
            return std::strtoul(headers.c_str() + at + name.size(), nullptr, 10);
    }
    return 0;
}

void sendAll(int socket, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

} // namespace

RecordingHttpServer::RecordingHttpServer(std::string replyBytes, Behaviour behaviour)
    : RecordingHttpServer(behaviour,
                          [replyBytes = std::move(replyBytes)](const std::string&) { return replyBytes; })
{
}

RecordingHttpServer::RecordingHttpServer(Responder responder)
    : RecordingHttpServer(Behaviour::Reply, std::move(responder))
{
}

RecordingHttpServer::RecordingHttpServer(Behaviour behaviour, Responder responder)
    : m_responder(std::move(responder)), m_behaviour(behaviour)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listen, 8) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::pipe(m_wake) != 0)
        throw std::runtime_error("test server cannot listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

RecordingHttpServer::~RecordingHttpServer()
{
    const char stop = 's';
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &stop, 1);
    m_thread.join();
    ::close(m_listen);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

std::string RecordingHttpServer::base() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::vector<std::string> RecordingHttpServer::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

std::string RecordingHttpServer::Response(const std::string& status, const std::string& body,
                                          const std::string& contentType)
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

void RecordingHttpServer::serve()
{
    for (;;) {
        pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            return;
        const int connection = ::accept(m_listen, nullptr, nullptr);
        if (connection < 0)
            continue;
        handle(connection);
        ::close(connection);
    }
}

void RecordingHttpServer::handle(int connection)
{
    std::string request;
    size_t wanted = std::string::npos;
    char buffer[65536];
    while (wanted == std::string::npos || request.size() < wanted) {
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, 5000) <= 0 || (fds[1].revents & POLLIN))
            break;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
        const size_t headerEnd = request.find("\r\n\r\n");
        if (wanted == std::string::npos && headerEnd != std::string::npos)
            wanted = headerEnd + 4 + contentLength(request.substr(0, headerEnd));
    }
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
    }
    switch (m_behaviour) {
    case Behaviour::Reply:
        sendAll(connection, m_responder(request));
        ::shutdown(connection, SHUT_WR);
        break;
    case Behaviour::Trickle: {
        const std::string reply = m_responder(request);
        for (const char byte : reply) {
            // Paced by the wake pipe's poll: a stop ends the reply at once.
            pollfd wake{m_wake[0], POLLIN, 0};
            if (::poll(&wake, 1, 100) != 0 || ::send(connection, &byte, 1, MSG_NOSIGNAL) != 1)
                break;
        }
        ::shutdown(connection, SHUT_WR);
        break;
    }
    case Behaviour::Close:
        break;
    case Behaviour::NeverAnswer: {
        // Hold the connection until the client hangs up or the server stops.
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        while (::poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
            if (::recv(connection, buffer, sizeof buffer, 0) <= 0)
                break;
        }
        break;
    }
    }
}

} // namespace tern::test
