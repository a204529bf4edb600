#include "platform/win/WinGlobalHotkeys.h"

#include "util/ShortcutBits.h"

namespace tern::platform::win {

UINT HotkeyModifiers(std::uint16_t shortcut)
{
    UINT modifiers = 0;
    if ((shortcut & kShortcutShiftFlag) != 0)
        modifiers |= MOD_SHIFT;
    if ((shortcut & kShortcutCtrlFlag) != 0)
        modifiers |= MOD_CONTROL;
    if ((shortcut & kShortcutAltFlag) != 0)
        modifiers |= MOD_ALT;
    return modifiers;
}

WinGlobalHotkeys::WinGlobalHotkeys()
    : m_window(MessageWindow::Kind::MessageOnly, L"", [this](UINT message, WPARAM wParam, LPARAM) {
          if (message != WM_HOTKEY)
              return std::optional<LRESULT>();
          if (m_handler)
              m_handler(static_cast<int>(wParam));
          return std::optional<LRESULT>(0);
      })
{
}

WinGlobalHotkeys::~WinGlobalHotkeys()
{
    for (const int id : m_registered)
        UnregisterHotKey(m_window.handle(), id);
}

void WinGlobalHotkeys::setHandler(std::function<void(int id)> handler)
{
    m_handler = std::move(handler);
}

bool WinGlobalHotkeys::registerHotkey(int id, std::uint16_t shortcut)
{
    unregisterHotkey(id);
    const UINT key = shortcut & kShortcutKeyBits;
    if (key == 0 || !RegisterHotKey(m_window.handle(), id, HotkeyModifiers(shortcut), key))
        return false;
    m_registered.insert(id);
    return true;
}

void WinGlobalHotkeys::unregisterHotkey(int id)
{
    if (m_registered.erase(id) != 0)
        UnregisterHotKey(m_window.handle(), id);
}

} // namespace tern::platform::win
