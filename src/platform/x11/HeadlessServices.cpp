#include "platform/HeadlessServices.h"

#include "platform/posix/FileLockSingleInstance.h"
#include "platform/posix/IniSettingsFile.h"
#include "platform/posix/XdgDesktopShell.h"
#include "platform/wayland/RemoteSocket.h"
#include "platform/x11/X11RemoteProtocol.h"
#include "platform/x11/X11RemoteSender.h"

#include <utility>

namespace tern::platform {

std::unique_ptr<SettingsBackend> CreateSettingsBackend()
{
    return std::make_unique<x11::IniSettingsFile>(x11::IniSettingsFile::defaultPath());
}

std::unique_ptr<DesktopShell> CreateDesktopShell()
{
    return std::make_unique<x11::XdgDesktopShell>();
}

std::unique_ptr<DesktopShell> CreateDesktopShell(BoundedWait wait)
{
    return std::make_unique<x11::XdgDesktopShell>(std::move(wait));
}

std::unique_ptr<SingleInstance> CreateSingleInstance()
{
    return std::make_unique<x11::FileLockSingleInstance>();
}

std::optional<std::int64_t> SendToRunningCopy(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    // A copy running on Wayland listens on its socket; one on X11 has its window on the display.
    if (const std::optional<std::int64_t> answer =
            wayland::SendThroughSocket(title, message, wParam, lParam, timeoutMs))
        return answer;
    return x11::SendRemoteMessage(title, message, wParam, lParam, timeoutMs, x11::SessionInstanceKey());
}

} // namespace tern::platform
