#include "platform/win/WinKeyInjector.h"

#include <windows.h>

#include <array>

namespace tern::platform::win {

namespace {

// How often a waiting batch looks at the keyboard.
constexpr UINT kReleasePollMs = 10;

// The injector whose batches wait: a thread timer carries no pointer of its own, and the program has
// one injector.
WinKeyInjector* g_waitingInjector = nullptr;

void CALLBACK OnReleasePoll(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_waitingInjector)
        g_waitingInjector->sendWaitingBatches();
}

INPUT keyRecord(WORD virtualKey, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

bool SendBatch(std::uint16_t virtualKey)
{
    std::array<INPUT, 6> batch = {keyRecord(VK_SHIFT, true),    keyRecord(VK_MENU, true),
                                  keyRecord(VK_CONTROL, false), keyRecord(virtualKey, false),
                                  keyRecord(virtualKey, true),  keyRecord(VK_CONTROL, true)};
    return SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT)) == batch.size();
}

} // namespace

WinKeyInjector::~WinKeyInjector()
{
    stopTimer();
}

bool WinKeyInjector::sendCtrlKey(std::uint16_t virtualKey)
{
    if (virtualKey == 0 || virtualKey > 0xFE)
        return false;
    if (m_waiting.empty() && !otherKeysDown())
        return SendBatch(virtualKey);
    if (m_waiting.empty()) {
        m_releaseDeadline = GetTickCount64() + kReleaseWaitMs;
        m_timer = SetTimer(nullptr, 0, kReleasePollMs, &OnReleasePoll);
        if (m_timer == 0) // no timer: the batch goes now rather than never
            return SendBatch(virtualKey);
        g_waitingInjector = this;
    }
    m_waiting.push_back(virtualKey);
    return true;
}

void WinKeyInjector::sendWaitingBatches()
{
    if (GetTickCount64() < m_releaseDeadline && otherKeysDown())
        return;
    stopTimer();
    while (!m_waiting.empty()) {
        SendBatch(m_waiting.front());
        m_waiting.pop_front();
    }
}

void WinKeyInjector::stopTimer()
{
    if (m_timer != 0)
        KillTimer(nullptr, m_timer);
    m_timer = 0;
    if (g_waitingInjector == this)
        g_waitingInjector = nullptr;
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
