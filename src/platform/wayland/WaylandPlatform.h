#pragma once

#include "platform/Clipboard.h"
#include "platform/GlobalHotkeys.h"
#include "platform/KeyInjector.h"
#include "platform/RemoteControl.h"
#include "platform/ScreenCapture.h"
#include "platform/WindowFocus.h"

#include <memory>
#include <string>

namespace tern::platform::wayland {

// True when the GUI application runs on the toolkit's Wayland platform: the services below then
// stand in for the X11 ones. Needs the GUI application object.
bool IsWaylandSession();

// True when the compositor named by WAYLAND_DISPLAY accepts a connection; needs no GUI application.
bool CompositorReachable();

// What the compositor lacks for the services below, in plain words with what to do about it; empty
// when it offers everything they use.
std::string MissingProtocols();
// The same from what the compositor offers: clipboard control, virtual keyboards, screen copies.
std::string DescribeMissingProtocols(bool clipboard, bool keyboard, bool screen);

// True when the compositor lets programs reach the clipboard without focus (data control). Without it
// the factory keeps Qt's clipboard, which works while a window of ours has the focus.
bool HasClipboardControl();

std::unique_ptr<SystemClipboard> CreateClipboard();
// The desktop portal's global shortcuts (PortalGlobalShortcuts.h); where the session's portal offers
// none, no program may take a session-wide key, and the hotkey service says so once the portal's
// answer has shown it (SessionKeyBindings.h).
std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys();
std::unique_ptr<KeyInjector> CreateKeyInjector();
std::unique_ptr<WindowFocus> CreateWindowFocus();
std::unique_ptr<ScreenCapture> CreateScreenCapture();
// The private messages through a socket of the user's runtime folder (SocketRemoteControl.h).
std::unique_ptr<RemoteControl> CreateRemoteControl();

} // namespace tern::platform::wayland
