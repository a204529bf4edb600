#pragma once

#include "platform/GlobalHotkeys.h"
#include "platform/win/MessageWindow.h"

#include <set>

namespace tern::platform::win {

// The RegisterHotKey modifiers of a shortcut value: MOD_SHIFT for 0x2000, MOD_CONTROL for 0x4000,
// MOD_ALT for 0x8000.
UINT HotkeyModifiers(std::uint16_t shortcut);

// System-wide hotkeys registered for a message window of ours; WM_HOTKEY reaches the handler while
// the GUI thread pumps messages.
class WinGlobalHotkeys final : public GlobalHotkeys
{
public:
    // Throws tern::Error when the window cannot be created.
    WinGlobalHotkeys();
    ~WinGlobalHotkeys() override;

    void setHandler(std::function<void(int id)> handler) override;
    bool registerHotkey(int id, std::uint16_t shortcut) override;
    void unregisterHotkey(int id) override;

private:
    std::function<void(int)> m_handler;
    std::set<int> m_registered;
    MessageWindow m_window;
};

} // namespace tern::platform::win
