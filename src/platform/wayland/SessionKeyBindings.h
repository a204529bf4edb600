#pragma once

#include "platform/GlobalHotkeys.h"

namespace tern::platform::wayland {

// Hotkeys in a Wayland session: the compositor gives no program a key for the whole session, so
// nothing is ever registered; the desktop's own key binding runs `tern-clipboard --menu` instead,
// which unavailableReason() says.
class SessionKeyBindings final : public GlobalHotkeys
{
public:
    void setHandler(std::function<void(int id)> /*handler*/) override {}
    bool registerHotkey(int /*id*/, std::uint16_t /*shortcut*/) override { return false; }
    void unregisterHotkey(int /*id*/) override {}
    std::string unavailableReason() const override;
};

} // namespace tern::platform::wayland
