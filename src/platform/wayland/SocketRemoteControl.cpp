#include "platform/wayland/SocketRemoteControl.h"

#include "platform/HeadlessServices.h"
#include "platform/wayland/RemoteSocket.h"

#include <QSocketNotifier>

#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace tern::platform::wayland {

SocketRemoteControl::SocketRemoteControl() = default;

SocketRemoteControl::~SocketRemoteControl()
{
    m_notifier.reset();
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
}

void SocketRemoteControl::listen(
    const std::string& title, std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler)
{
    m_handler = std::move(handler);
    m_path = RemoteSocketPath(title);
    if (m_path.empty() || m_fd >= 0)
        return;
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0)
        return;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    ::unlink(m_path.c_str());
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_fd, 8) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { answer(); });
}

void SocketRemoteControl::answer()
{
    for (;;) {
        const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0)
            return;
        // A peer that stalls holds the GUI thread for at most this long.
        const timeval wait = {kRequestTimeoutMs / 1000, suseconds_t{kRequestTimeoutMs % 1000} * 1000};
        ::setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        ::setsockopt(peer, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        ucred credentials = {};
        socklen_t length = sizeof credentials;
        RemoteRequest request;
        pollfd ready = {peer, POLLIN, 0};
        const bool sameUser = ::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
                              credentials.uid == ::getuid();
        if (sameUser && ::poll(&ready, 1, kRequestTimeoutMs) > 0 &&
            ::recv(peer, &request, sizeof request, MSG_WAITALL) == static_cast<ssize_t>(sizeof request)) {
            std::int64_t result = 0;
            try {
                if (m_handler)
                    result = m_handler(request.message, request.wParam, request.lParam);
            } catch (...) {
                result = 0;
            }
            ::send(peer, &result, sizeof result, MSG_NOSIGNAL);
        }
        ::close(peer);
    }
}

std::optional<std::int64_t> SocketRemoteControl::send(const std::string& title, std::uint32_t message,
                                                      std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    return SendToRunningCopy(title, message, wParam, lParam, timeoutMs);
}

} // namespace tern::platform::wayland
