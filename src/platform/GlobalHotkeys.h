#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tern::platform {

// System-wide hotkeys. GUI thread only; presses are delivered on the GUI thread through the
// handler while the event loop runs.
class GlobalHotkeys
{
public:
    virtual ~GlobalHotkeys() = default;

    // Called with the identifier of a registered hotkey when it is pressed.
    virtual void setHandler(std::function<void(int id)> handler) = 0;

    // Registers `shortcut` (virtual-key code in bits 0..12, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt)
    // under `id`, replacing an earlier registration of that id. False when another program holds the
    // combination or the key has no equivalent here; nothing stays registered then.
    virtual bool registerHotkey(int id, std::uint16_t shortcut) = 0;

    // Releases the hotkey of `id`; nothing happens when none is registered.
    virtual void unregisterHotkey(int id) = 0;

    // Why this session lets no program register a hotkey at all, in plain words with what to do
    // instead; empty where hotkeys can be registered (a false registerHotkey then means taken).
    virtual std::string unavailableReason() const { return {}; }

    // What the hotkey of `id` does, in the user's language, where the desktop shows it (in its own
    // shortcut settings, say). Call before registerHotkey.
    virtual void setDescription(int /*id*/, const std::string& /*text*/) {}

    // Where the desktop decides on a registration only later (it may first ask the user),
    // registerHotkey answers true for a request under way, and `handler` is called once the desktop
    // has decided, or when it takes the hotkey back: `bound` false when it refused, the user declined
    // or it ended the binding (unavailableReason() then says what to do instead); `trigger` the keys
    // the desktop bound, in its own words, empty when it does not say. Services that decide at once
    // never call it.
    using SettledHandler = std::function<void(int id, bool bound, const std::string& trigger)>;
    virtual void setSettledHandler(const SettledHandler& /*handler*/) {}
};

} // namespace tern::platform
