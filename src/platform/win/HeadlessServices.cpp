#include "platform/HeadlessServices.h"

#include "platform/win/MutexSingleInstance.h"
#include "platform/win/RegistrySettings.h"
#include "platform/win/WinDesktopShell.h"
#include "platform/win/WinRemoteControl.h"

namespace tern::platform {

std::unique_ptr<SettingsBackend> CreateSettingsBackend()
{
    return std::make_unique<win::RegistrySettings>();
}

std::unique_ptr<DesktopShell> CreateDesktopShell()
{
    return std::make_unique<win::WinDesktopShell>();
}

// The shell's "open" returns the handler's verdict itself: there is nothing to wait for meanwhile.
std::unique_ptr<DesktopShell> CreateDesktopShell(BoundedWait /*wait*/)
{
    return CreateDesktopShell();
}

std::unique_ptr<SingleInstance> CreateSingleInstance()
{
    return std::make_unique<win::MutexSingleInstance>();
}

std::optional<std::int64_t> SendToRunningCopy(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    return win::WinRemoteControl::sendTo(title, message, wParam, lParam, timeoutMs);
}

} // namespace tern::platform
