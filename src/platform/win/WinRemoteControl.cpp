#include "platform/win/WinRemoteControl.h"

#include "platform/win/WideText.h"

namespace tern::platform::win {

namespace {

constexpr UINT kLastPrivateMessage = 0xBFFF;

} // namespace

void WinRemoteControl::listen(const std::string& title,
                              std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler)
{
    m_window = std::make_unique<MessageWindow>(
        MessageWindow::Kind::HiddenTopLevel, Widen(title),
        [handler = std::move(handler)](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            if (message < WM_USER || message > kLastPrivateMessage || !handler)
                return std::nullopt;
            return static_cast<LRESULT>(
                handler(message, static_cast<std::int64_t>(wParam), static_cast<std::int64_t>(lParam)));
        });
}

std::optional<std::int64_t> WinRemoteControl::send(const std::string& title, std::uint32_t message,
                                                   std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    return sendTo(title, message, wParam, lParam, timeoutMs);
}

std::optional<std::int64_t> WinRemoteControl::sendTo(const std::string& title, std::uint32_t message,
                                                     std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    const HWND window = FindWindowW(MessageWindow::className(), Widen(title).c_str());
    if (window == nullptr)
        return std::nullopt;
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                            SMTO_ABORTIFHUNG | SMTO_BLOCK, static_cast<UINT>(timeoutMs < 0 ? 0 : timeoutMs),
                            &result) == 0)
        return std::nullopt;
    return static_cast<std::int64_t>(static_cast<LRESULT>(result));
}

} // namespace tern::platform::win
