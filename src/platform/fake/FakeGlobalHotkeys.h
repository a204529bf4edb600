#pragma once

#include "platform/GlobalHotkeys.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tern::platform::fake {

// Records registrations. A test marks combinations as held by another program (`taken`), and
// presses a registered hotkey with press(), which calls the handler at once.
class FakeGlobalHotkeys final : public GlobalHotkeys
{
public:
    void setHandler(std::function<void(int id)> handler) override { m_handler = std::move(handler); }

    bool registerHotkey(int id, std::uint16_t shortcut) override
    {
        registerCalls.push_back(shortcut);
        registered.erase(id);
        if (taken.count(shortcut) != 0 || !unavailable.empty())
            return false;
        registered[id] = shortcut;
        return true;
    }

    void unregisterHotkey(int id) override
    {
        unregisterCalls.push_back(id);
        registered.erase(id);
    }

    // Presses the hotkey of `id`; false (and no call) when it is not registered.
    bool press(int id)
    {
        if (registered.count(id) == 0 || !m_handler)
            return false;
        m_handler(id);
        return true;
    }

    std::string unavailableReason() const override { return unavailable; }
    void setDescription(int id, const std::string& text) override { descriptions[id] = text; }
    void setSettledHandler(const SettledHandler& handler) override { m_settled = handler; }

    // Reports a decision of the desktop on `id`, as a desktop that decides later does.
    void settle(int id, bool bound, const std::string& trigger)
    {
        if (m_settled)
            m_settled(id, bound, trigger);
    }

    std::set<std::uint16_t> taken;
    // Non-empty: the session lets no program register hotkeys (every registration fails).
    std::string unavailable;
    std::map<int, std::uint16_t> registered;
    std::vector<std::uint16_t> registerCalls;
    std::vector<int> unregisterCalls;
    std::map<int, std::string> descriptions;

private:
    std::function<void(int id)> m_handler;
    SettledHandler m_settled;
};

} // namespace tern::platform::fake
