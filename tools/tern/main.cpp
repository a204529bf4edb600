#include "AccountCommands.h"
#include "Command.h"
#include "ConfigCommands.h"
#include "ContainerCommands.h"
#include "DigestCommand.h"
#include "KeyCommand.h"
#include "PrintableText.h"
#include "QuitRunningCommand.h"
#include "ShareCommand.h"
#include "SnapshotCommands.h"
#include "TextCommand.h"
#include "ToolContext.h"
#include "TransferCommands.h"
#include "UpdateCommand.h"
#include "platform/StandardStreams.h"
#include "service/TransferErrors.h"
#include "util/Errors.h"
#include "util/ProgramVersion.h"

#include <algorithm>
#include <iostream>
#include <string_view>

using namespace tern::tool;

namespace {

// Writes `usage` with every line indented by two blanks, so that a command's continuation lines stay
// in the column of its description.
void printIndented(const std::string& usage, std::ostream& out)
{
    size_t start = 0;
    while (start <= usage.size()) {
        const size_t end = std::min(usage.find('\n', start), usage.size());
        out << "  " << std::string_view(usage).substr(start, end - start) << '\n';
        start = end + 1;
    }
}

void printHelp(const std::vector<Command>& commands, std::ostream& out)
{
    out << "Usage: tern COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const Command& command : commands)
        printIndented(command.usage, out);
    out << "  --version                   print the version\n"
        << "  --help                      show this text\n";
}

// True when the words after the command name ask for its usage: "-h" or "--help" first, or "--help"
// anywhere (no command takes a file, address or e-mail of that exact name).
bool asksForHelp(const std::vector<std::string>& args)
{
    if (args.size() > 1 && (args[1] == "-h" || args[1] == "--help"))
        return true;
    return std::find(args.begin() + 1, args.end(), "--help") != args.end();
}

} // namespace

int main(int argc, char** argv)
{
    tern::platform::UseBinaryStandardStreams();
    std::ios::sync_with_stdio(false);
    ToolContext context;
    const std::vector<Command> commands = {
        MakeConfigCommand(context),      MakeTextCommand(context),      MakeQuitRunningCommand(context),
        MakeDigestCommand(context),      MakeContainerCommand(context), MakeSnapshotCommand(context),
        MakeRegisterCommand(context),    MakeLoginCommand(context),     MakeCopyCommand(context),
        MakePasteCommand(context),       MakeShareCommand(context),     MakeHistoryUrlCommand(context),
        MakeCheckUpdateCommand(context), MakeKeyCommand(context),
    };

    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--version") {
        std::cout << "tern " << tern::kProgramVersion << '\n';
        return kExitOk;
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(commands, args.empty() ? std::cerr : std::cout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    CommandIo io{std::cin, std::cout, std::cerr};
    for (const Command& command : commands) {
        if (command.name != args[0])
            continue;
        if (asksForHelp(args)) {
            std::cout << "Usage:\n";
            printIndented(command.usage, std::cout);
            return kExitOk;
        }
        try {
            const int status = command.run({args.begin() + 1, args.end()}, io);
            std::cout.flush();
            return status;
        } catch (const UsageError& error) {
            std::cerr << "tern " << command.name << ": " << PrintableText(error.what()) << "\nUsage:\n";
            printIndented(command.usage, std::cerr);
            return kExitUsage;
        } catch (const tern::TransferError& error) {
            // What went wrong and where, in words; the address carries no password value.
            std::cerr << "tern " << command.name << ": " << PrintableText(error.describe()) << '\n';
            return kExitFailure;
        } catch (const tern::Error& error) {
            // Error texts may quote the service (a registration refusal, a status word).
            std::cerr << PrintableText(error.what()) << '\n';
            return kExitFailure;
        } catch (const std::exception& error) {
            std::cerr << "tern " << command.name << ": " << PrintableText(error.what()) << '\n';
            return kExitFailure;
        }
    }
    std::cerr << "tern: unknown command \"" << args[0] << "\"\n";
    printHelp(commands, std::cerr);
    return kExitUsage;
}
