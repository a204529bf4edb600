#include "platform/wayland/SessionKeyBindings.h"

namespace tern::platform::wayland {

std::string SessionKeyBindings::unavailableReason() const
{
    return "This Wayland desktop lets no program take a key for the whole session, so the hotkey is not "
           "active. Bind it in the desktop's keyboard settings to the command: tern-clipboard --menu";
}

} // namespace tern::platform::wayland
