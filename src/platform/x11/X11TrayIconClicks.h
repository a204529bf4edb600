#pragma once

#include "platform/TrayIconClicks.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>

namespace tern::platform::x11 {

// Sees the left button presses on the tray icon's window (core or X Input 2 events, whichever the
// toolkit receives) in a native event filter on the application, before the toolkit drops them
// because a modal window blocks the icon. A press is reported only while a modal window is open; the
// event itself goes on to the toolkit unchanged. The icon's window is the toolkit's embedded tray
// icon widget (object name "QSystemTrayIconSys"). Needs a running QGuiApplication on xcb; without
// one nothing is reported.
class X11TrayIconClicks final : public TrayIconClicks, public QAbstractNativeEventFilter
{
public:
    X11TrayIconClicks();
    ~X11TrayIconClicks() override;
    X11TrayIconClicks(const X11TrayIconClicks&) = delete;
    X11TrayIconClicks& operator=(const X11TrayIconClicks&) = delete;

    void setHandler(std::function<void()> handler) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool m_installed = false;
    std::uint8_t m_inputOpcode = 0;
    std::function<void()> m_handler;
};

} // namespace tern::platform::x11
