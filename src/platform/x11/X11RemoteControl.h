#pragma once

#include "platform/RemoteControl.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <string>

namespace tern::platform::x11 {

// listen(): an unmapped top-level X window on Qt's connection whose WM_NAME and _NET_WM_NAME are the
// title and whose _TERN_INSTANCE_KEY is the instance key; private messages (see X11RemoteProtocol.h)
// reach it through a native event filter and the handler runs inside that filter, so it must answer
// at once (it may ask the application to quit, but must not run an event loop of its own). An
// exception from the handler is answered with 0.
// send(): works without a Qt application (X11RemoteSender); it reaches the window of the same
// instance key, else a window without a key, so another user's copy on the same display is left alone.
class X11RemoteControl final : public RemoteControl, public QAbstractNativeEventFilter
{
public:
    // `instanceKey`: the copy this object speaks for; by default this user's (SessionInstanceKey).
    X11RemoteControl();
    explicit X11RemoteControl(std::string instanceKey);
    ~X11RemoteControl() override;
    X11RemoteControl(const X11RemoteControl&) = delete;
    X11RemoteControl& operator=(const X11RemoteControl&) = delete;

    void listen(const std::string& title,
                std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> handler) override;
    std::optional<std::int64_t> send(const std::string& title, std::uint32_t message, std::int64_t wParam,
                                     std::int64_t lParam, int timeoutMs) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The listening window; 0 before listen().
    xcb_window_t window() const noexcept { return m_window; }

private:
    void setTitle(const std::string& title);
    void reply(xcb_window_t sender, std::uint32_t message, std::int64_t result);

    std::string m_instanceKey;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_atom_t m_messageAtom = 0;
    xcb_atom_t m_replyAtom = 0;
    std::function<std::int64_t(std::uint32_t, std::int64_t, std::int64_t)> m_handler;
};

} // namespace tern::platform::x11
