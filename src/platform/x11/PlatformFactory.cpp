#include "platform/PlatformFactory.h"

#include "platform/x11/IniSettingsFile.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/XdgDesktopShell.h"

namespace tern::platform {

std::unique_ptr<SettingsBackend> CreateSettingsBackend()
{
    return std::make_unique<x11::IniSettingsFile>(x11::IniSettingsFile::defaultPath());
}

std::unique_ptr<DesktopShell> CreateDesktopShell()
{
    return std::make_unique<x11::XdgDesktopShell>();
}

std::unique_ptr<SystemClipboard> CreateSystemClipboard()
{
    return std::make_unique<x11::X11Clipboard>();
}

} // namespace tern::platform
