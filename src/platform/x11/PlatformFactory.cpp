#include "platform/PlatformFactory.h"

#include "platform/wayland/WaylandPlatform.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "platform/x11/X11KeyInjector.h"
#include "platform/x11/X11RemoteControl.h"
#include "platform/x11/X11ScreenCapture.h"
#include "platform/x11/X11TrayIconClicks.h"
#include "platform/x11/X11WindowFocus.h"

#include <string>

namespace tern::platform {

// Under the toolkit's Wayland platform the clipboard, injected keys, the window in front and screen
// pictures come from the compositor and private messages through a socket; the hotkey goes through
// the desktop portal where it offers global shortcuts, else none is registered (the desktop's key
// binding runs `tern-clipboard --menu`); tray clicks stay with X11, where they find no X connection
// and report that nothing was done. A compositor without clipboard control leaves Qt's clipboard,
// which works while a window of ours has the focus; the other Wayland services then report that
// nothing was done.

std::unique_ptr<SystemClipboard> CreateSystemClipboard()
{
    if (wayland::IsWaylandSession()) {
        if (wayland::HasClipboardControl())
            return wayland::CreateClipboard();
    }
    return std::make_unique<x11::X11Clipboard>();
}

std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys()
{
    if (wayland::IsWaylandSession())
        return wayland::CreateGlobalHotkeys();
    return std::make_unique<x11::X11GlobalHotkeys>();
}

std::string SessionShortcomings()
{
    if (!wayland::IsWaylandSession())
        return {};
    return wayland::MissingProtocols();
}

std::unique_ptr<KeyInjector> CreateKeyInjector()
{
    if (wayland::IsWaylandSession())
        return wayland::CreateKeyInjector();
    return std::make_unique<x11::X11KeyInjector>();
}

std::unique_ptr<WindowFocus> CreateWindowFocus()
{
    if (wayland::IsWaylandSession())
        return wayland::CreateWindowFocus();
    return std::make_unique<x11::X11WindowFocus>();
}

std::unique_ptr<TrayIconClicks> CreateTrayIconClicks()
{
    return std::make_unique<x11::X11TrayIconClicks>();
}

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    if (wayland::IsWaylandSession())
        return wayland::CreateScreenCapture();
    return std::make_unique<x11::X11ScreenCapture>();
}

std::unique_ptr<RemoteControl> CreateRemoteControl()
{
    if (wayland::IsWaylandSession())
        return wayland::CreateRemoteControl();
    return std::make_unique<x11::X11RemoteControl>();
}

} // namespace tern::platform
