#pragma once

#include "platform/GlobalHotkeys.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <map>
#include <vector>

namespace tern::platform::x11 {

// Hotkeys as passive key grabs on the root window over Qt's X connection. Each hotkey is grabbed once
// for every combination of the lock modifiers (Caps Lock, Num Lock), so that it works whatever
// their state; the variants are grabbed and released together. Presses are seen by a native event
// filter on the application and handed to the handler from the event loop (queued), so the handler
// may open menus or dialogs. Needs a running QGuiApplication on xcb; without one nothing registers.
class X11GlobalHotkeys final : public GlobalHotkeys, public QAbstractNativeEventFilter
{
public:
    X11GlobalHotkeys();
    ~X11GlobalHotkeys() override;
    X11GlobalHotkeys(const X11GlobalHotkeys&) = delete;
    X11GlobalHotkeys& operator=(const X11GlobalHotkeys&) = delete;

    void setHandler(std::function<void(int id)> handler) override;
    bool registerHotkey(int id, std::uint16_t shortcut) override;
    void unregisterHotkey(int id) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab
    {
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
    };

    // Every lock-modifier mask to grab besides the plain combination.
    std::vector<std::uint16_t> lockVariants() const;
    void ungrab(const Grab& grab) const;

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::uint16_t m_numLockMask = 0;
    std::map<int, Grab> m_grabs;
    std::function<void(int id)> m_handler;
};

} // namespace tern::platform::x11
