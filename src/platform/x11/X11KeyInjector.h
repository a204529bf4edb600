#pragma once

#include "platform/KeyInjector.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <deque>

namespace tern::platform::x11 {

// Keyboard input synthesised with the XTEST extension over Qt's X connection. The events go to
// whichever window has the keyboard focus, exactly as typed keys would. Without XTEST or without an
// xcb application nothing is sent.
class X11KeyInjector final : public KeyInjector
{
public:
    X11KeyInjector();

    // Releases both Shift keys and both Alt keys (either may be held down while the user picks a
    // menu item), presses Left Control and the key, releases them, and flushes the connection. A
    // batch asked for while another key is down (the menu letter that chose the command) is sent from
    // a timer once that key is up, or after kReleaseWait: a key the server holds down already cannot be
    // pressed again, so Ctrl+C would reach the window without its C.
    // False without XTEST, without an xcb application or without a key for `virtualKey`.
    bool sendCtrlKey(std::uint16_t virtualKey) override;
    bool isShiftDown() override;
    // Reads the server's key map (the keys held down now).
    bool otherKeysDown() override;

    // The longest a batch waits for the user's keys.
    static constexpr int kReleaseWaitMs = 1000;

private:
    void sendWaitingBatches();

    std::deque<std::uint16_t> m_waiting; // keys of batches not sent yet, oldest first
    QDeadlineTimer m_releaseDeadline;
    QTimer m_releasePoll;
};

} // namespace tern::platform::x11
