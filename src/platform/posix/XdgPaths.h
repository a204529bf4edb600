#pragma once

#include <string>

namespace tern::platform::x11 {

// $XDG_CONFIG_HOME, else $HOME/.config; empty when neither is known.
std::string XdgConfigHome();
// $XDG_DATA_HOME, else $HOME/.local/share; empty when neither is known.
std::string XdgDataHome();

} // namespace tern::platform::x11
