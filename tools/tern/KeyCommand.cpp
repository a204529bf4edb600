#include "KeyCommand.h"

#include "clipboard/EndToEndKey.h"
#include "util/Errors.h"

#include <istream>
#include <ostream>

namespace tern::tool {

namespace {

constexpr const char* kUsage =
    "key set                     read an end-to-end passphrase from standard input (its first line)\n"
    "                            and keep it on this computer: copy enciphers with it, paste needs it\n"
    "key clear                   forget the passphrase: copies are enciphered with the password again\n"
    "key status                  say whether a passphrase is kept";

int runKey(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::string usage = kUsage;
        for (std::size_t at = usage.find('\n'); at != std::string::npos; at = usage.find('\n', at + 1))
            usage.insert(at + 1, "  ");
        io.out << "Usage:\n  " << usage << '\n';
        return kExitOk;
    }
    if (args.size() != 1)
        throw UsageError("expected \"set\", \"clear\" or \"status\"");
    if (args[0] == "status") {
        io.out << (context.store(true).EndToEndKey.empty() ? "No end-to-end key is set."
                                                           : "An end-to-end key is set.")
               << '\n';
        return kExitOk;
    }
    if (args[0] == "set") {
        if (!EndToEndKeyAvailable())
            throw Error(kEndToEndKeyUnavailableText);
        std::string passphrase;
        std::getline(io.in, passphrase);
        if (!passphrase.empty() && passphrase.back() == '\r')
            passphrase.pop_back();
        if (passphrase.size() < kMinEndToEndKeyBytes)
            throw Error("The end-to-end key must be at least 8 characters long.");
        TConfStore& store = context.store(false);
        store.Apply({.EndToEndKey = std::move(passphrase)});
        store.Save();
        io.out << "The end-to-end key is set. Set the same key on your other computers.\n";
        return kExitOk;
    }
    if (args[0] == "clear") {
        TConfStore& store = context.store(false);
        store.Apply({.EndToEndKey = ""});
        store.Save();
        io.out << "The end-to-end key is cleared.\n";
        return kExitOk;
    }
    throw UsageError("expected \"set\", \"clear\" or \"status\"");
}

} // namespace

Command MakeKeyCommand(ToolContext& context)
{
    return {"key", kUsage, [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runKey(context, args, io);
            }};
}

} // namespace tern::tool
