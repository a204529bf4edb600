#include "platform/PlatformFactory.h"

#include "platform/win/WinClipboard.h"
#include "platform/win/WinGlobalHotkeys.h"
#include "platform/win/WinKeyInjector.h"
#include "platform/win/WinRemoteControl.h"
#include "platform/win/WinScreenCapture.h"
#include "platform/win/WinTrayIconClicks.h"
#include "platform/win/WinWindowFocus.h"

namespace tern::platform {

// A process of an interactive Windows session always has its desktop: there is no display to name or
// reach first.
std::string DesktopUnreachableReason()
{
    return {};
}

std::unique_ptr<SystemClipboard> CreateSystemClipboard()
{
    return std::make_unique<win::WinClipboard>();
}

std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys()
{
    return std::make_unique<win::WinGlobalHotkeys>();
}

std::unique_ptr<KeyInjector> CreateKeyInjector()
{
    return std::make_unique<win::WinKeyInjector>();
}

std::unique_ptr<WindowFocus> CreateWindowFocus()
{
    return std::make_unique<win::WinWindowFocus>();
}

std::unique_ptr<TrayIconClicks> CreateTrayIconClicks()
{
    return std::make_unique<win::WinTrayIconClicks>();
}

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    return std::make_unique<win::WinScreenCapture>();
}

std::unique_ptr<RemoteControl> CreateRemoteControl()
{
    return std::make_unique<win::WinRemoteControl>();
}

std::string SessionShortcomings()
{
    return {};
}

} // namespace tern::platform
