#include "platform/TaskbarHint.h"

#include <cstdint>

#include <windows.h>

namespace tern::platform {

// The taskbar shows a button for every shown top-level window without an owner unless it is a tool
// window; the extended style is read when the window is first shown, so setting it before is enough.
void KeepOffTaskbar(WindowHandle window)
{
    const HWND handle = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
    if (handle == nullptr || IsWindow(handle) == FALSE)
        return;
    const LONG_PTR style = GetWindowLongPtrW(handle, GWL_EXSTYLE);
    SetWindowLongPtrW(handle, GWL_EXSTYLE,
                      (style | WS_EX_TOOLWINDOW) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
}

} // namespace tern::platform
