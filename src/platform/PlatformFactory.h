#pragma once

#include "platform/DesktopShell.h"
#include "platform/SettingsBackend.h"

#include <memory>

namespace tern::platform {

// The implementations of the platform the program is linked for.
std::unique_ptr<SettingsBackend> CreateSettingsBackend();
std::unique_ptr<DesktopShell> CreateDesktopShell();

} // namespace tern::platform
