#pragma once

#include "platform/RunningCopy.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tern {

// The options that ask the copy already running for its hotkey menu or one of the hotkey menu's
// commands: --menu, --copy, --paste, --share-clipboard, --share-screen, --share-window, --share-area.
// Bound to a key of the desktop session, they stand in for the global hotkey where no program may grab
// one (Wayland).

// Sends (message, wParam, lParam) to the running copy and returns its answer; nothing when none runs.
using RunningCopySender =
    std::function<std::optional<std::int64_t>(std::uint32_t, std::int64_t, std::int64_t)>;

// The option lines of --help.
extern const char* const kRemoteCommandHelp;

// When `args` hold one of these options: asks the running copy through `send`, says in `err` in one
// sentence why it was not taken, and returns the exit code (0 taken, 1 not taken or none runs, 2 for
// more than one of them). Nothing when no such option is given.
std::optional<int> AnswerRemoteCommandOptions(const std::vector<std::string>& args, std::ostream& err,
                                              const RunningCopySender& send);

} // namespace tern
