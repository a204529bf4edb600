#include "platform/wayland/WaylandPlatform.h"

#include "platform/wayland/PortalGlobalShortcuts.h"
#include "platform/wayland/SocketRemoteControl.h"
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandKeyInjector.h"
#include "platform/wayland/WaylandScreenCapture.h"
#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/WaylandWindowFocus.h"

#include <QGuiApplication>

#include <wayland-client.h>

#include <cstdlib>

namespace tern::platform::wayland {

bool IsWaylandSession()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool CompositorReachable()
{
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr || *name == '\0')
        return false;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return false;
    wl_display_disconnect(display);
    return true;
}

std::string MissingProtocols()
{
    const std::shared_ptr<WaylandSession> session = WaylandSession::shared();
    if (!session)
        return "Cannot connect to the Wayland compositor named by WAYLAND_DISPLAY.";
    return DescribeMissingProtocols(session->dataControl() != nullptr, session->virtualKeyboards() != nullptr,
                                    session->screencopy() != nullptr);
}

std::string DescribeMissingProtocols(bool clipboard, bool keyboard, bool screen)
{
    std::string missing;
    if (!clipboard)
        missing += " the clipboard (Remote Copy, Remote Paste and Share Clipboard);";
    if (!keyboard)
        missing += " typing Ctrl+C and Ctrl+V into other windows;";
    if (!screen)
        missing += " screen pictures (Share Screen, Share Window and Share Area);";
    if (missing.empty())
        return {};
    missing.back() = '.';
    return "This Wayland compositor does not let programs reach" + missing +
           " Start Tern Clipboard with QT_QPA_PLATFORM=xcb to run it through XWayland instead.";
}

bool HasClipboardControl()
{
    const std::shared_ptr<WaylandSession> session = WaylandSession::shared();
    return session && session->dataControl() != nullptr && session->seat() != nullptr;
}

std::unique_ptr<SystemClipboard> CreateClipboard()
{
    return std::make_unique<WaylandClipboard>();
}

std::unique_ptr<KeyInjector> CreateKeyInjector()
{
    return std::make_unique<WaylandKeyInjector>();
}

std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys()
{
    // Whether the portal offers global shortcuts shows from its answer, without waiting for it here.
    return std::make_unique<PortalGlobalShortcuts>();
}

std::unique_ptr<WindowFocus> CreateWindowFocus()
{
    return std::make_unique<WaylandWindowFocus>();
}

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    return std::make_unique<WaylandScreenCapture>();
}

std::unique_ptr<RemoteControl> CreateRemoteControl()
{
    return std::make_unique<SocketRemoteControl>();
}

} // namespace tern::platform::wayland
