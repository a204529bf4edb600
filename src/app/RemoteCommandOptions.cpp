#include "RemoteCommandOptions.h"

#include "util/Errors.h"
#include "util/ProductName.h"

#include <array>
#include <ostream>

namespace tern {

namespace {

using platform::RemoteCommand;
using platform::RemoteCommandAnswer;

struct CommandOption
{
    const char* option;
    RemoteCommand command;
};

constexpr std::array<CommandOption, 7> kOptions{{
    {"--menu", RemoteCommand::Menu},
    {"--copy", RemoteCommand::RemoteCopy},
    {"--paste", RemoteCommand::RemotePaste},
    {"--share-clipboard", RemoteCommand::ShareClipboard},
    {"--share-screen", RemoteCommand::ShareScreen},
    {"--share-window", RemoteCommand::ShareWindow},
    {"--share-area", RemoteCommand::ShareArea},
}};

} // namespace

const char* const kRemoteCommandHelp =
    "  --menu             open the hotkey menu of the running copy at the mouse pointer\n"
    "  --copy, --paste    Remote Copy or Remote Paste in the window in front\n"
    "  --share-clipboard, --share-screen, --share-window, --share-area\n"
    "                     run that share command of the running copy\n";

std::optional<int> AnswerRemoteCommandOptions(const std::vector<std::string>& args, std::ostream& err,
                                              const RunningCopySender& send)
{
    std::optional<CommandOption> chosen;
    for (const std::string& arg : args) {
        for (const CommandOption& entry : kOptions) {
            if (arg != entry.option)
                continue;
            if (chosen && chosen->command != entry.command) {
                err << "tern-clipboard: give only one of " << chosen->option << " and " << entry.option
                    << ".\n";
                return 2;
            }
            chosen = entry;
        }
    }
    if (!chosen)
        return std::nullopt;

    const auto code = static_cast<std::int64_t>(chosen->command);
    std::optional<std::int64_t> answer;
    try {
        answer = send(platform::kCommandMessage, code, platform::kCommandMessage);
    } catch (const Error& error) {
        err << "tern-clipboard: " << error.what() << '\n';
        return 1;
    }
    if (!answer) {
        err << "No running " << kProductName << " of this user answered, so " << chosen->option
            << " did nothing; start " << kProductName << " first.\n";
        return 1;
    }
    switch (static_cast<RemoteCommandAnswer>(*answer)) {
    case RemoteCommandAnswer::Taken:
        return 0;
    case RemoteCommandAnswer::Busy:
        err << "The running " << kProductName << " did not take " << chosen->option
            << ": it is still starting or one of its dialogs is open.\n";
        return 1;
    case RemoteCommandAnswer::SwitchedOff:
        err << "The running " << kProductName << " did not take " << chosen->option
            << ": Remote Copy and Remote Paste are switched off in its settings.\n";
        return 1;
    case RemoteCommandAnswer::Unknown:
        break;
    }
    err << "The running " << kProductName << " did not take " << chosen->option << " (it answered " << *answer
        << "); it may be an older version.\n";
    return 1;
}

} // namespace tern
