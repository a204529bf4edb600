#pragma once

#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/GlobalHotkeys.h"
#include "platform/KeyInjector.h"
#include "platform/RemoteControl.h"
#include "platform/ScreenCapture.h"
#include "platform/SettingsBackend.h"
#include "platform/SingleInstance.h"
#include "platform/WindowFocus.h"

#include <memory>

namespace tern::platform {

// The implementations of the platform the program is linked for.
std::unique_ptr<SettingsBackend> CreateSettingsBackend();
std::unique_ptr<DesktopShell> CreateDesktopShell();
// The system clipboard; needs the GUI application object. Throws tern::Error("Cannot open clipboard").
std::unique_ptr<SystemClipboard> CreateSystemClipboard();
// Global hotkeys, injected keys and the window in front; they need the GUI application object.
std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys();
std::unique_ptr<KeyInjector> CreateKeyInjector();
std::unique_ptr<WindowFocus> CreateWindowFocus();
// Screen pictures and window frames; needs the GUI application object.
std::unique_ptr<ScreenCapture> CreateScreenCapture();
// The one-running-copy marker; needs no GUI application.
std::unique_ptr<SingleInstance> CreateSingleInstance();
// listen() needs the GUI application object; send() works in any process.
std::unique_ptr<RemoteControl> CreateRemoteControl();

} // namespace tern::platform
