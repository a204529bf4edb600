#include "ContainerCommands.h"

#include "PayloadOptions.h"
#include "clipboard/ClipboardFormat.h"
#include "service/ECLMemoryStream.h"

#include <ostream>

namespace tern::tool {

namespace {

int runContainer(ToolContext& context, std::vector<std::string> args, CommandIo& io)
{
    if (args.empty())
        throw UsageError("expected \"pack\" or \"unpack\"");
    const std::string action = args[0];
    args.erase(args.begin());
    const std::optional<std::string> given = TakePasswordValue(args);
    if (action == "pack") {
        const std::optional<std::string> levelText = TakeOption(args, "level");
        if (!args.empty())
            throw UsageError("unexpected argument \"" + args[0] + "\"");
        std::uint8_t level = TECLMemoryStream::kLevelCompressed;
        if (levelText && *levelText == "0")
            level = TECLMemoryStream::kLevelStored;
        else if (levelText && *levelText != "2")
            throw UsageError("--level must be 0 or 2");
        const std::string data = ReadAllBytes(io.in);
        TECLMemoryStream container(PasswordValue(given, context), 0, level);
        container.Write(0, data);
        io.out << container.Storage();
        return kExitOk;
    }
    if (action == "unpack") {
        if (!args.empty())
            throw UsageError("unexpected argument \"" + args[0] + "\"");
        // The same budget as a restore: a small container must not unpack into gigabytes.
        EclOptions options;
        options.maxLogicalSize = kMaxDecodedSnapshotBytes;
        TECLMemoryStream container(PasswordValue(given, context), 0, TECLMemoryStream::kLevelCompressed,
                                   std::move(options));
        container.SetStorage(ReadAllBytes(io.in));
        // Block by block: the plain data is never held whole.
        std::string block(TECLMemoryStream::kBlockSize, '\0');
        for (std::uint64_t at = 0; at < container.Size();) {
            const std::size_t got = container.Read(at, block.data(), block.size());
            io.out.write(block.data(), static_cast<std::streamsize>(got));
            at += got;
        }
        return kExitOk;
    }
    throw UsageError("expected \"pack\" or \"unpack\"");
}

} // namespace

Command MakeContainerCommand(ToolContext& context)
{
    return {"container",
            "container pack [--password-value V] [--level 0|2]\n"
            "                            stdin's bytes as a payload container on stdout\n"
            "container unpack [--password-value V]\n"
            "                            a payload container on stdin, its data on stdout\n"
            "                            (without the option: the stored Password; empty: no cipher)",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runContainer(context, args, io);
            }};
}

} // namespace tern::tool
