#pragma once

// The few socket calls the test servers make, spelled the same on Linux and Windows.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>

namespace tern::test::sockets {

#ifdef _WIN32
using Socket = SOCKET;
inline constexpr Socket kNoSocket = INVALID_SOCKET;
inline constexpr int kNoSignal = 0;
inline constexpr int kShutWrite = SD_SEND;
using Length = int;
#else
using Socket = int;
inline constexpr Socket kNoSocket = -1;
inline constexpr int kNoSignal = MSG_NOSIGNAL;
inline constexpr int kShutWrite = SHUT_WR;
using Length = socklen_t;
#endif

// Starts the socket library once per process (Windows); nothing elsewhere.
void initialise();

inline void closeSocket(Socket socket)
{
#ifdef _WIN32
    ::closesocket(socket);
#else
    ::close(socket);
#endif
}

inline int pollSockets(pollfd* fds, unsigned count, int timeoutMs)
{
#ifdef _WIN32
    return ::WSAPoll(fds, count, timeoutMs);
#else
    return ::poll(fds, count, timeoutMs);
#endif
}

// A listening TCP socket on 127.0.0.1 at a free port, or kNoSocket.
Socket listenOnLoopback(std::uint16_t& port);

// Two connected TCP sockets on loopback (a pipe that poll() can watch on every system); false when
// they cannot be made.
bool connectedPair(Socket (&pair)[2]);

} // namespace tern::test::sockets
