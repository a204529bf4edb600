#pragma once

#include "platform/GlobalHotkeys.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <map>

class QDBusMessage;

namespace tern::platform::wayland {

// Hotkeys through the desktop portal's global shortcuts (org.freedesktop.portal.GlobalShortcuts on
// the session bus), the one way a Wayland desktop that offers it lets a program have a key for the
// whole session. The desktop binds the keys of a session of ours: registerHotkey opens one (or a new
// one when the keys changed) and asks it to bind every hotkey, with our combination as the preferred
// trigger; the desktop may first ask the user. Its answer arrives later, through the settled handler;
// a refusal stands until another combination is registered, so that the user is not asked again after
// every dialog. A released hotkey stays bound at the desktop while the program runs; its presses are
// not passed on. Where the session has no portal with global shortcuts, the first call fails and the
// hotkey is refused with SessionKeyBindings' advice. Every call to the portal is asynchronous:
// nothing waits for it on the GUI thread, not even at start.
class PortalGlobalShortcuts final : public QObject, public GlobalHotkeys
{
    Q_OBJECT

public:
    PortalGlobalShortcuts();
    ~PortalGlobalShortcuts() override;
    PortalGlobalShortcuts(const PortalGlobalShortcuts&) = delete;
    PortalGlobalShortcuts& operator=(const PortalGlobalShortcuts&) = delete;

    void setHandler(std::function<void(int id)> handler) override { m_handler = std::move(handler); }
    bool registerHotkey(int id, std::uint16_t shortcut) override;
    void unregisterHotkey(int id) override;
    std::string unavailableReason() const override;
    void setDescription(int id, const std::string& text) override;
    void setSettledHandler(const SettledHandler& handler) override { m_settled = handler; }

    // The name the desktop knows the hotkey of `id` by.
    static QString shortcutName(int id);

    static constexpr int kCallTimeoutMs = 3000;

private slots:
    void onResponse(const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);
    void onShortcutsChanged(const QDBusMessage& message);
    void onSessionClosed(const QDBusMessage& message);

private:
    // Unavailable: the session has no portal with global shortcuts, found when the first call to it
    // fails; the hotkey is then the desktop's key binding to make, as SessionKeyBindings says.
    enum class State { Idle, Asking, Bound, Refused, Unavailable };
    struct Hotkey
    {
        std::uint16_t shortcut = 0;
        std::string description;
        bool active = false;
    };

    // Closes the session there is and asks for a new one that binds every hotkey.
    void bindAll();
    void bindInSession(const QString& session);
    // Calls `method` of the portal with `arguments` and the options, and `then` with the answer of the
    // request it starts (response 0 success, 1 declined, 2 failed).
    void request(const QString& method, QVariantList arguments, QVariantMap options,
                 std::function<void(uint response, const QVariantMap& results)> then);
    void dropRequest();
    void closeSession();
    // Tells the settled handler about every hotkey sent to the desktop.
    void settle(bool bound, const std::map<int, std::string>& triggers);

    std::map<int, Hotkey> m_hotkeys;
    std::map<int, std::uint16_t> m_sent; // the combinations of the last request
    State m_state = State::Idle;
    QString m_session;
    QString m_requestPath;
    std::function<void(uint, const QVariantMap&)> m_then;
    unsigned m_tokens = 0;
    std::function<void(int id)> m_handler;
    SettledHandler m_settled;
};

} // namespace tern::platform::wayland
