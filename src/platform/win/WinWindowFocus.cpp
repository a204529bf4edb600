#include "platform/win/WinWindowFocus.h"

#include <windows.h>

namespace tern::platform::win {

namespace {

HWND toWindow(WindowHandle handle)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

} // namespace

WindowHandle WinWindowFocus::foregroundWindow()
{
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(GetForegroundWindow()));
}

bool WinWindowFocus::forceForegroundWindow(WindowHandle handle)
{
    const HWND window = toWindow(handle);
    if (handle == 0 || !IsWindow(window))
        return false;
    SetForegroundWindow(window);
    if (GetForegroundWindow() == window)
        return true;
    INPUT empty = {};
    empty.type = INPUT_MOUSE;
    SendInput(1, &empty, sizeof(INPUT));
    const bool granted = SetForegroundWindow(window) != FALSE;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    return granted;
}

} // namespace tern::platform::win
