#pragma once

#include "platform/KeyInjector.h"

#include <cstdint>
#include <deque>

namespace tern::platform::win {

// Keys sent to the window in front with SendInput.
class WinKeyInjector final : public KeyInjector
{
public:
    WinKeyInjector() = default;
    ~WinKeyInjector() override;
    WinKeyInjector(const WinKeyInjector&) = delete;
    WinKeyInjector& operator=(const WinKeyInjector&) = delete;

    // One SendInput batch of six keyboard records: Shift up, Alt up, Ctrl down, the key down, the key
    // up, Ctrl up. A batch asked for while another key is down (the menu letter that chose the
    // command) is sent from a thread timer, served by the GUI thread's message loop, once that key is
    // up or after kReleaseWaitMs: a key that is down already cannot be pressed again, so Ctrl+C would
    // reach the window without its C. False when the key is no virtual key or, for a batch sent at
    // once, unless the system took all six.
    bool sendCtrlKey(std::uint16_t virtualKey) override;
    // The asynchronous key state of Shift is non-zero: down now, or pressed since the last query.
    bool isShiftDown() override;
    // Any key code from Backspace on, other than Shift, Ctrl and Alt, has its high (down) bit set.
    bool otherKeysDown() override;

    // The longest a batch waits for the user's keys.
    static constexpr int kReleaseWaitMs = 1000;

    // Sends the waiting batches once no other key is down or the wait is over; called by the timer.
    void sendWaitingBatches();

private:
    void stopTimer();

    std::deque<std::uint16_t> m_waiting; // keys of batches not sent yet, oldest first
    std::uint64_t m_releaseDeadline = 0; // GetTickCount64() value at which the wait ends
    std::uintptr_t m_timer = 0;
};

} // namespace tern::platform::win
