#pragma once

#include "platform/DesktopShell.h"
#include "platform/SettingsBackend.h"
#include "platform/SingleInstance.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tern::platform {

// The implementations that need no GUI application object and load no GUI library: the settings,
// the desktop shell's paths and files, the one-running-copy marker, and a private message to the
// running copy. The command-line tool uses only these.
std::unique_ptr<SettingsBackend> CreateSettingsBackend();
std::unique_ptr<DesktopShell> CreateDesktopShell();
// The same, with `wait` serving the shell's bounded wait for the browser's verdict, so that a program
// with an interface keeps it alive meanwhile.
std::unique_ptr<DesktopShell> CreateDesktopShell(BoundedWait wait);
std::unique_ptr<SingleInstance> CreateSingleInstance();

// Sends a private message to this user's window titled `title` (see RemoteControl::send) and waits
// up to `timeoutMs` for its answer; nothing when no such window exists or no answer came. Throws
// tern::Error when the display library cannot be loaded.
std::optional<std::int64_t> SendToRunningCopy(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs);

} // namespace tern::platform
