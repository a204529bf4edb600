#include "StartOptions.h"

#include "RemoteCommandOptions.h"

#include "util/ProductName.h"
#include "util/ProgramVersion.h"

#include <algorithm>
#include <ostream>

namespace tern {

namespace {

bool hasArgument(const std::vector<std::string>& args, const char* wanted)
{
    return std::find(args.begin(), args.end(), wanted) != args.end();
}

} // namespace

std::optional<int> AnswerStartOptions(const std::vector<std::string>& args, std::ostream& out)
{
    if (hasArgument(args, "--help") || hasArgument(args, "-h")) {
        out << "Usage: tern-clipboard [--help | --version | COMMAND]\n"
               "\n"
            << kProductName
            << " runs in the background with an icon in the system tray of the desktop session.\n"
               "Everything is reached from the tray menu and from the global hotkey (Shift+Ctrl+Y unless\n"
               "changed in Settings). Started while a copy already runs, it says so and ends.\n"
               "\n"
               "  --version          print the version and end\n"
               "  --help             print this text and end\n"
               "\n"
               "COMMAND asks the copy that runs, and ends: exit status 0 when it took the request, 1 with a\n"
               "sentence when none runs or it did not take it. Bind `tern-clipboard --menu` to a key of the\n"
               "desktop where programs cannot grab one (Wayland).\n"
            << kRemoteCommandHelp
            << "\n"
               "Settings live in $XDG_CONFIG_HOME/Quarrow Labs/Tern Clipboard.ini (~/.config/... by\n"
               "default); `tern config list` shows them and `tern quit-running` ends the running copy.\n";
        return 0;
    }
    if (hasArgument(args, "--version")) {
        out << kProductName << ' ' << kProgramVersion << '\n';
        return 0;
    }
    return std::nullopt;
}

} // namespace tern
