#include "platform/x11/X11GlobalHotkeys.h"

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11Session.h"

#include <QCoreApplication>

#include <cstdlib>

namespace tern::platform::x11 {

namespace {

// The modifiers that make two presses different hotkeys; lock modifiers and mouse buttons are not
// among them.
constexpr std::uint16_t kSignificantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

} // namespace

X11GlobalHotkeys::X11GlobalHotkeys()
    : m_connection(QtConnection()), m_root(QtRootWindow()), m_numLockMask(NumLockMask())
{
    if (m_connection && QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotkeys::~X11GlobalHotkeys()
{
    if (m_connection && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const auto& [id, grab] : m_grabs)
        ungrab(grab);
    if (m_connection)
        xcb_flush(m_connection);
}

void X11GlobalHotkeys::setHandler(std::function<void(int id)> handler)
{
    m_handler = std::move(handler);
}

std::vector<std::uint16_t> X11GlobalHotkeys::lockVariants() const
{
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLockMask != 0 && m_numLockMask != XCB_MOD_MASK_LOCK) {
        variants.push_back(m_numLockMask);
        variants.push_back(static_cast<std::uint16_t>(m_numLockMask | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

void X11GlobalHotkeys::ungrab(const Grab& grab) const
{
    for (const std::uint16_t lock : lockVariants())
        xcb_ungrab_key(m_connection, grab.keycode, m_root, static_cast<std::uint16_t>(grab.modifiers | lock));
}

bool X11GlobalHotkeys::registerHotkey(int id, std::uint16_t shortcut)
{
    unregisterHotkey(id);
    if (!m_connection)
        return false;
    const xcb_keycode_t keycode = KeycodeForKeysym(KeysymForVirtualKey(shortcut & kShortcutKeyBits));
    if (keycode == 0)
        return false;
    const Grab grab{keycode, ModifierMaskForShortcut(shortcut)};
    // Our own connection may grab a combination twice without an error; a second id for the same
    // combination would then lose it when the first is released, so it is refused like a taken one.
    for (const auto& [otherId, other] : m_grabs)
        if (other.keycode == grab.keycode && other.modifiers == grab.modifiers)
            return false;

    // Every variant is requested before any answer is read, then all are checked: one round trip.
    const std::vector<std::uint16_t> variants = lockVariants();
    std::vector<xcb_void_cookie_t> cookies;
    cookies.reserve(variants.size());
    for (const std::uint16_t lock : variants)
        cookies.push_back(xcb_grab_key_checked(m_connection, 1, m_root,
                                               static_cast<std::uint16_t>(grab.modifiers | lock), keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool granted = true;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            // BadAccess (10) is the usual answer: another client holds this variant. Any other error
            // leaves the hotkey just as unusable.
            granted = false;
            std::free(error);
        }
    }
    if (!granted) {
        // Releasing a variant that was refused is harmless: the server only drops our own grabs.
        ungrab(grab);
        xcb_flush(m_connection);
        return false;
    }
    m_grabs[id] = grab;
    return true;
}

void X11GlobalHotkeys::unregisterHotkey(int id)
{
    const auto found = m_grabs.find(id);
    if (found == m_grabs.end())
        return;
    ungrab(found->second);
    xcb_flush(m_connection);
    m_grabs.erase(found);
}

bool X11GlobalHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t" || m_grabs.empty())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != m_root)
        return false;
    const auto modifiers = static_cast<std::uint16_t>(key->state & kSignificantModifiers);
    for (const auto& [id, grab] : m_grabs) {
        if (grab.keycode != key->detail || grab.modifiers != modifiers)
            continue;
        if (type == XCB_KEY_PRESS && m_handler) {
            // Delivered from the event loop rather than from inside the filter, so that the handler
            // can run nested event loops (menus) safely; a copy keeps it valid if replaced meanwhile.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [handler = m_handler, hotkeyId = id] { handler(hotkeyId); },
                Qt::QueuedConnection);
        }
        return true;
    }
    return false;
}

} // namespace tern::platform::x11
