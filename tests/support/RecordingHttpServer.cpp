#include "support/RecordingHttpServer.h"

#include "support/TestSockets.h"

#include <cstdlib>
#include <stdexcept>

namespace tern::test {

using namespace sockets;

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

void sendAll(Socket socket, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const auto n = ::send(socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), kNoSignal);
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
    m_listen = listenOnLoopback(m_port);
    if (m_listen == kNoSocket)
        throw std::runtime_error("test server cannot listen");
    if (!connectedPair(m_wake)) {
        closeSocket(m_listen);
        throw std::runtime_error("test server cannot make its wake-up channel");
    }
    m_thread = std::thread([this] { serve(); });
}

RecordingHttpServer::~RecordingHttpServer()
{
    const char stop = 's';
    [[maybe_unused]] const auto written = ::send(m_wake[1], &stop, 1, kNoSignal);
    m_thread.join();
    closeSocket(m_listen);
    closeSocket(m_wake[0]);
    closeSocket(m_wake[1]);
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
        if (pollSockets(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            return;
        const Socket connection = ::accept(m_listen, nullptr, nullptr);
        if (connection == kNoSocket)
            continue;
        handle(connection);
        closeSocket(connection);
    }
}

void RecordingHttpServer::handle(Socket connection)
{
    std::string request;
    size_t wanted = std::string::npos;
    char buffer[65536];
    while (wanted == std::string::npos || request.size() < wanted) {
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (pollSockets(fds, 2, 5000) <= 0 || (fds[1].revents & POLLIN))
            break;
        const auto n = ::recv(connection, buffer, sizeof buffer, 0);
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
        ::shutdown(connection, kShutWrite);
        break;
    case Behaviour::Trickle: {
        const std::string reply = m_responder(request);
        for (const char byte : reply) {
            // Paced by the wake pipe's poll: a stop ends the reply at once.
            pollfd wake{m_wake[0], POLLIN, 0};
            if (pollSockets(&wake, 1, 100) != 0 || ::send(connection, &byte, 1, kNoSignal) != 1)
                break;
        }
        ::shutdown(connection, kShutWrite);
        break;
    }
    case Behaviour::Close:
        break;
    case Behaviour::NeverAnswer: {
        // Hold the connection until the client hangs up or the server stops.
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        while (pollSockets(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
            if (::recv(connection, buffer, sizeof buffer, 0) <= 0)
                break;
        }
        break;
    }
    }
}

} // namespace tern::test
