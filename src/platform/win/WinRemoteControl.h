#pragma once

#include "platform/RemoteControl.h"
#include "platform/win/MessageWindow.h"

#include <memory>

namespace tern::platform::win {

// The program's hidden top-level window (a message-only window would not be found by other
// processes) and the sender that finds it by its class and title.
class WinRemoteControl final : public RemoteControl
{
public:
    // Private messages are those from WM_USER up to 0xBFFF; the handler answers them.
    void listen(const std::string& title,
                std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler) override;
    std::optional<std::int64_t> send(const std::string& title, std::uint32_t message, std::int64_t wParam,
                                     std::int64_t lParam, int timeoutMs) override;

    // The sender alone, for processes without a window of their own.
    static std::optional<std::int64_t> sendTo(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs);

private:
    std::unique_ptr<MessageWindow> m_window;
};

} // namespace tern::platform::win
