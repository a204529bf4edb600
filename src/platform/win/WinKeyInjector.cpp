#include "platform/win/WinKeyInjector.h"

#include <windows.h>

#include <array>

namespace tern::platform::win {

namespace {

INPUT keyRecord(WORD virtualKey, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

} // namespace

bool WinKeyInjector::sendCtrlKey(std::uint16_t virtualKey)
{
    if (virtualKey == 0 || virtualKey > 0xFE)
        return false;
    std::array<INPUT, 6> batch = {keyRecord(VK_SHIFT, true),    keyRecord(VK_MENU, true),
                                  keyRecord(VK_CONTROL, false), keyRecord(virtualKey, false),
                                  keyRecord(virtualKey, true),  keyRecord(VK_CONTROL, true)};
    return SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT)) == batch.size();
}

bool WinKeyInjector::otherKeysDown()
{
    for (int key = VK_BACK; key <= 0xFE; ++key) {
        switch (key) {
        case VK_SHIFT:
        case VK_CONTROL:
        case VK_MENU:
        case VK_LSHIFT:
        case VK_RSHIFT:
        case VK_LCONTROL:
        case VK_RCONTROL:
        case VK_LMENU:
        case VK_RMENU:
            continue;
        default:
            if ((GetAsyncKeyState(key) & 0x8000) != 0)
                return true;
        }
    }
    return false;
}

bool WinKeyInjector::isShiftDown()
{
    return GetAsyncKeyState(VK_SHIFT) != 0;
}

} // namespace tern::platform::win
