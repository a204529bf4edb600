#pragma once

#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/SettingsBackend.h"

#include <memory>

namespace tern::platform {

// The implementations of the platform the program is linked for.
std::unique_ptr<SettingsBackend> CreateSettingsBackend();
std::unique_ptr<DesktopShell> CreateDesktopShell();
// The system clipboard; needs the GUI application object. Throws tern::Error("Cannot open clipboard").
std::unique_ptr<SystemClipboard> CreateSystemClipboard();

} // namespace tern::platform
