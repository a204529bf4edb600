#include "platform/PlatformFactory.h"

#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "platform/x11/X11KeyInjector.h"
#include "platform/x11/X11RemoteControl.h"
#include "platform/x11/X11ScreenCapture.h"
#include "platform/x11/X11TrayIconClicks.h"
#include "platform/x11/X11WindowFocus.h"

namespace tern::platform {

std::unique_ptr<SystemClipboard> CreateSystemClipboard()
{
    return std::make_unique<x11::X11Clipboard>();
}

std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys()
{
    return std::make_unique<x11::X11GlobalHotkeys>();
}

std::unique_ptr<KeyInjector> CreateKeyInjector()
{
    return std::make_unique<x11::X11KeyInjector>();
}

std::unique_ptr<WindowFocus> CreateWindowFocus()
{
    return std::make_unique<x11::X11WindowFocus>();
}

std::unique_ptr<TrayIconClicks> CreateTrayIconClicks()
{
    return std::make_unique<x11::X11TrayIconClicks>();
}

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    return std::make_unique<x11::X11ScreenCapture>();
}

std::unique_ptr<RemoteControl> CreateRemoteControl()
{
    return std::make_unique<x11::X11RemoteControl>();
}

} // namespace tern::platform
