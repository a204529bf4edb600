#pragma once

#include "platform/RemoteControl.h"

#include <memory>
#include <string>

class QSocketNotifier;

namespace tern::platform::wayland {

// The program's private messages in a session without an X connection (RemoteSocket.h): listen()
// takes connections from the event loop, answers each request of a process of the same user with the
// handler's result (0 when the handler throws) and closes it; a peer that sends no whole request
// within kRequestTimeoutMs is dropped. send() asks the socket, then the X display (SendToRunningCopy).
// GUI thread only.
class SocketRemoteControl final : public RemoteControl
{
public:
    SocketRemoteControl();
    ~SocketRemoteControl() override;
    SocketRemoteControl(const SocketRemoteControl&) = delete;
    SocketRemoteControl& operator=(const SocketRemoteControl&) = delete;

    // Replaces a socket left behind by a copy that ended without removing it (one copy runs at a time).
    void listen(const std::string& title,
                std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler) override;
    std::optional<std::int64_t> send(const std::string& title, std::uint32_t message, std::int64_t wParam,
                                     std::int64_t lParam, int timeoutMs) override;

    static constexpr int kRequestTimeoutMs = 1000;

private:
    void answer();

    int m_fd = -1;
    std::string m_path;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> m_handler;
};

} // namespace tern::platform::wayland
