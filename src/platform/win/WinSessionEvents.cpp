#include "platform/SessionEvents.h"

#include "platform/win/MessageWindow.h"

#include <memory>

namespace tern::platform {

// Windows asks every top-level window before a log-off or shutdown (WM_QUERYENDSESSION, answered: the
// session may end) and then tells it (WM_ENDSESSION); the handler runs then, before the process ends.
void InstallSessionEndHandler(std::function<void()> handler)
{
    static std::unique_ptr<win::MessageWindow> window;
    window = std::make_unique<win::MessageWindow>(
        win::MessageWindow::Kind::HiddenTopLevel, L"",
        [handler = std::move(handler)](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_QUERYENDSESSION)
                return TRUE;
            if (message == WM_ENDSESSION) {
                if (wParam != FALSE && handler)
                    handler();
                return 0;
            }
            return std::nullopt;
        });
}

} // namespace tern::platform
