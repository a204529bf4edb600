#include "SnapshotCommands.h"

#include "PayloadOptions.h"
#include "clipboard/ClipboardFormat.h"
#include "util/Errors.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace tern::tool {

namespace {

// A format number in decimal or, after "0x", in hexadecimal.
std::uint32_t parseFormat(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc() || end != last)
        throw UsageError("\"" + text + "\" is not a format number");
    return value;
}

int pack(ToolContext& context, std::vector<std::string> args, CommandIo& io)
{
    const std::string password = PasswordValue(TakePasswordValue(args), context);
    if (args.empty())
        throw UsageError("expected FORMAT=FILE...");
    ClipboardFormats formats;
    for (const std::string& arg : args) {
        const std::size_t equals = arg.find('=');
        if (equals == std::string::npos)
            throw UsageError("expected FORMAT=FILE, not \"" + arg + "\"");
        auto item = std::make_unique<TClipboardFormat>(password);
        item->Format = parseFormat(arg.substr(0, equals));
        item->Data.Write(0, ReadFileOrInput(arg.substr(equals + 1), io.in));
        formats.push_back(std::move(item));
    }
    std::string stream;
    SaveSnapshot(formats, stream);
    io.out << stream;
    return kExitOk;
}

// Loads the snapshot of `source`; on an error, `onItems` still sees the items read before it.
template <typename OnItems>
int load(ToolContext& context, std::vector<std::string>& args, CommandIo& io, OnItems onItems)
{
    const std::string password = PasswordValue(TakePasswordValue(args), context);
    if (args.size() != 1)
        throw UsageError("expected one FILE or -");
    const std::string stream = ReadFileOrInput(args[0], io.in);
    ClipboardFormats formats;
    std::size_t position = 0;
    try {
        LoadSnapshot(stream, position, password, {}, formats);
    } catch (const Error&) {
        onItems(formats);
        throw;
    }
    onItems(formats);
    return kExitOk;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw FileError("Cannot write file \"" + path.string() + "\"");
}

int runSnapshot(ToolContext& context, std::vector<std::string> args, CommandIo& io)
{
    if (args.empty())
        throw UsageError("expected \"pack\", \"list\" or \"unpack\"");
    const std::string action = args[0];
    args.erase(args.begin());
    if (action == "pack")
        return pack(context, std::move(args), io);
    if (action == "list") {
        return load(context, args, io, [&io](const ClipboardFormats& formats) {
            for (std::size_t index = 0; index < formats.size(); ++index) {
                const TClipboardFormat& item = *formats[index];
                io.out << index << ' ' << item.Format << ' ' << item.Data.Storage().size() << ' '
                       << item.Data.Size() << '\n';
            }
        });
    }
    if (action == "unpack") {
        const std::optional<std::string> out = TakeOption(args, "out");
        if (!out)
            throw UsageError("expected --out DIR");
        const std::filesystem::path folder(*out);
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            throw FileError("Cannot create folder \"" + *out + "\": " + error.message());
        return load(context, args, io, [&folder](const ClipboardFormats& formats) {
            for (std::size_t index = 0; index < formats.size(); ++index) {
                const TClipboardFormat& item = *formats[index];
                writeFile(folder / (std::to_string(index) + "-" + std::to_string(item.Format) + ".bin"),
                          item.Data.ReadAll());
            }
        });
    }
    throw UsageError("expected \"pack\", \"list\" or \"unpack\"");
}

} // namespace

Command MakeSnapshotCommand(ToolContext& context)
{
    return {"snapshot",
            "snapshot pack [--password-value V] FORMAT=FILE...\n"
            "                            a clipboard snapshot of the files' bytes on stdout\n"
            "snapshot list [--password-value V] FILE|-\n"
            "                            one line per record: INDEX FORMAT STORAGE_BYTES PLAIN_BYTES\n"
            "snapshot unpack [--password-value V] --out DIR FILE|-\n"
            "                            every record's data as DIR/INDEX-FORMAT.bin (INDEX from 0)",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runSnapshot(context, args, io);
            }};
}

} // namespace tern::tool
