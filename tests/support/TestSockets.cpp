#include "support/TestSockets.h"

#include <mutex>
#include <stdexcept>

namespace tern::test::sockets {

void initialise()
{
#ifdef _WIN32
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw std::runtime_error("the socket library cannot start");
    });
#endif
}

Socket listenOnLoopback(std::uint16_t& port)
{
    initialise();
    const Socket listening = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listening == kNoSocket)
        return kNoSocket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    Length length = sizeof address;
    if (::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listening, 8) != 0 ||
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closeSocket(listening);
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return listening;
}

bool connectedPair(Socket (&pair)[2])
{
    std::uint16_t port = 0;
    const Socket listening = listenOnLoopback(port);
    if (listening == kNoSocket)
        return false;
    pair[0] = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected = pair[0] != kNoSocket &&
                           ::connect(pair[0], reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    pair[1] = connected ? ::accept(listening, nullptr, nullptr) : kNoSocket;
    closeSocket(listening);
    if (pair[1] == kNoSocket) {
        if (pair[0] != kNoSocket)
            closeSocket(pair[0]);
        return false;
    }
    return true;
}

} // namespace tern::test::sockets
