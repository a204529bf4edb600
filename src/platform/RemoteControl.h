#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tern::platform {

// The program's hidden main window, found by other processes through its title, and the private
// messages they send to it. GUI thread only.
class RemoteControl
{
public:
    virtual ~RemoteControl() = default;

    // Creates the hidden window titled `title`. `handler` receives (message, wParam, lParam) of each
    // private message and returns the result that goes back to the sender.
    virtual void listen(const std::string& title,
                        std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler) = 0;

    // From another process: sends a private message to the window titled `title` and waits up to
    // `timeoutMs` for the result; nothing when no such window exists or no answer came.
    virtual std::optional<std::int64_t> send(const std::string& title, std::uint32_t message,
                                             std::int64_t wParam, std::int64_t lParam, int timeoutMs) = 0;
};

} // namespace tern::platform
