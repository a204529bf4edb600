#include "platform/wayland/WaylandKeyInjector.h"

#include "platform/wayland/WaylandSession.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <QGuiApplication>

#include <wayland-client.h>

#include <chrono>

#include <sys/mman.h>
#include <unistd.h>

namespace tern::platform::wayland {

namespace {

std::uint32_t nowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

WaylandKeyInjector::WaylandKeyInjector() : m_session(WaylandSession::shared())
{
    // The compositor drops the first keys of a keyboard it has just been given (it takes the new
    // layout first), so the keyboard is asked for now, long before the first command types.
    ensureKeyboard();
}

WaylandKeyInjector::~WaylandKeyInjector()
{
    if (m_keyboard) {
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
        m_session->roundtrip(500);
    }
}

bool WaylandKeyInjector::ensureKeyboard()
{
    if (m_keyboard)
        return true;
    if (!m_session || m_session->virtualKeyboards() == nullptr || m_session->seat() == nullptr)
        return false;
    // The layout travels as a file; its size counts the terminating zero.
    const std::string& text = m_keymap.text();
    const int fd = ::memfd_create("tern-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (::write(fd, text.c_str(), text.size() + 1) != static_cast<ssize_t>(text.size() + 1)) {
        ::close(fd);
        return false;
    }
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_session->virtualKeyboards(),
                                                                         m_session->seat());
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(text.size() + 1));
    ::close(fd);
    return m_session->roundtrip();
}

bool WaylandKeyInjector::sendCtrlKey(std::uint16_t virtualKey)
{
    const std::uint32_t key = m_keymap.keyOf(virtualKey);
    const std::uint32_t control = m_keymap.controlKey();
    if (key == 0 || control == 0 || !ensureKeyboard() || !m_session->healthy())
        return false;
    const std::uint32_t time = nowMs();
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(m_keyboard, time, control, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, VirtualKeymap::kControlMask, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(m_keyboard, time, key, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(m_keyboard, time, key, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_key(m_keyboard, time, control, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    return m_session->roundtrip();
}

bool WaylandKeyInjector::isShiftDown()
{
    return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

bool WaylandKeyInjector::otherKeysDown()
{
    return false;
}

} // namespace tern::platform::wayland
