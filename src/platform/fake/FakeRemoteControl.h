#pragma once

#include "platform/RemoteControl.h"

namespace tern::platform::fake {

// listen() keeps the title and handler; deliver() plays a message from another process through it.
// send() delivers to the listener of the same title in this object, else answers nothing.
class FakeRemoteControl final : public RemoteControl
{
public:
    void listen(const std::string& title,
                std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler) override
    {
        listenTitle = title;
        m_handler = std::move(handler);
    }

    std::optional<std::int64_t> send(const std::string& title, std::uint32_t message, std::int64_t wParam,
                                     std::int64_t lParam, int /*timeoutMs*/) override
    {
        if (title != listenTitle || !m_handler)
            return std::nullopt;
        return m_handler(message, wParam, lParam);
    }

    std::int64_t deliver(std::uint32_t message, std::int64_t wParam, std::int64_t lParam)
    {
        return m_handler ? m_handler(message, wParam, lParam) : 0;
    }

    std::string listenTitle;

private:
    std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> m_handler;
};

} // namespace tern::platform::fake
