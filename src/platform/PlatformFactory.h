#pragma once

#include "platform/Clipboard.h"
#include "platform/GlobalHotkeys.h"
#include "platform/HeadlessServices.h"
#include "platform/KeyInjector.h"
#include "platform/RemoteControl.h"
#include "platform/ScreenCapture.h"
#include "platform/TrayIconClicks.h"
#include "platform/WindowFocus.h"

#include <memory>
#include <string>

namespace tern::platform {

// The implementations of the desktop the program is linked for; those of HeadlessServices.h too.
// Empty when the GUI application object can be created on this desktop; otherwise one line saying why
// not (no display named, or the named one cannot be reached). Needs no GUI application object.
std::string DesktopUnreachableReason();
// The system clipboard; needs the GUI application object. Throws tern::Error("Cannot open clipboard").
std::unique_ptr<SystemClipboard> CreateSystemClipboard();
// Global hotkeys, injected keys and the window in front; they need the GUI application object.
std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys();
std::unique_ptr<KeyInjector> CreateKeyInjector();
std::unique_ptr<WindowFocus> CreateWindowFocus();
// Tray icon clicks withheld by a modal dialog; needs the GUI application object.
std::unique_ptr<TrayIconClicks> CreateTrayIconClicks();
// Screen pictures and window frames; needs the GUI application object.
std::unique_ptr<ScreenCapture> CreateScreenCapture();
// listen() needs the GUI application object; send() works in any process.
std::unique_ptr<RemoteControl> CreateRemoteControl();
// What this desktop session does not let the program do, in plain words with what to do instead (one
// sentence a line); empty where everything works. The hotkey is not among it: its service says that
// (GlobalHotkeys::unavailableReason). Needs the GUI application object.
std::string SessionShortcomings();

} // namespace tern::platform
