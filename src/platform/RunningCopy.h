#pragma once

#include <cstdint>

namespace tern::platform {

// What another process uses to reach the running desktop program: the title of its hidden main
// window (RemoteControl::listen) and the private message that asks it to quit. The quit request
// carries the message value in both parameters, which marks it as meant; the running copy answers
// the same value when it accepts.
inline constexpr const char* kMainWindowTitle = "TernClipboardStarted";
inline constexpr std::uint32_t kQuitMessage = 0x49F;

// The private message that asks the running copy to open its hotkey menu at the pointer or to run one
// of the hotkey menu's commands as if chosen there (for sessions where no program may grab a global
// key). wParam is a RemoteCommand, lParam the message value (the mark that it is meant). The answer
// is a RemoteCommandAnswer.
inline constexpr std::uint32_t kCommandMessage = 0x4A0;

enum class RemoteCommand : std::int64_t {
    Menu = 1,
    RemoteCopy = 2,
    RemotePaste = 3,
    ShareClipboard = 4,
    ShareScreen = 5,
    ShareWindow = 6,
    ShareArea = 7,
};

enum class RemoteCommandAnswer : std::int64_t {
    // Anything the running copy does not know (an older copy answers 0).
    Unknown = 0,
    // Taken: the menu opens, or the command runs, from the running copy's event loop.
    Taken = kCommandMessage,
    // Not now: the copy is still starting or a dialog of it is open.
    Busy = 1,
    // Remote Copy and Remote Paste are switched off in the settings.
    SwitchedOff = 2,
};

} // namespace tern::platform
