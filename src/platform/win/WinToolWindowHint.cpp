#include "platform/ToolWindowHint.h"

#include <windows.h>

#include <cstdint>

namespace tern::platform {

namespace {

HWND toWindow(WindowHandle handle)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

// Adds `addExtended` to the window's extended styles, takes `remove` from its styles, and has the
// frame drawn anew.
void ChangeStyles(HWND window, LONG_PTR addExtended, LONG_PTR remove)
{
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | addExtended);
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) & ~remove);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

} // namespace

// A tool window has a small title bar; without the minimise and maximise boxes only Close is left.
void MarkAsToolWindow(WindowHandle window)
{
    const HWND target = toWindow(window);
    if (window != 0 && IsWindow(target))
        ChangeStyles(target, WS_EX_TOOLWINDOW, WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
}

} // namespace tern::platform
