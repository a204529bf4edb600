#pragma once

#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/GlobalHotkeys.h"
#include "platform/KeyInjector.h"
#include "platform/MessageBoxes.h"
#include "platform/ScreenCapture.h"
#include "platform/SettingsBackend.h"
#include "platform/SystemTray.h"
#include "platform/TrayIconClicks.h"
#include "platform/WindowFocus.h"

namespace tern {

// The desktop services the tray program uses, owned by the program's entry (or by a test).
struct ShellServices
{
    platform::DesktopShell& shell;
    platform::SettingsBackend& settings;
    platform::SystemClipboard& clipboard;
    platform::GlobalHotkeys& hotkeys;
    platform::KeyInjector& keys;
    platform::WindowFocus& focus;
    platform::MessageBoxes& messageBoxes;
    platform::ScreenCapture& screen;
    platform::TrayIconClicks& trayClicks;
    platform::SystemTray& tray;
};

} // namespace tern
