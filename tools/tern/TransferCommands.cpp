#include "TransferCommands.h"

#include "ServiceSession.h"
#include "ToolClipboard.h"
#include "clipboard/ClipboardFormat.h"
#include "clipboard/ExClipboard.h"
#include "clipboard/KeyedSnapshot.h"
#include "clipboard/ShareConversion.h"
#include "lang/TextKeys.h"
#include "platform/Clipboard.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <charconv>
#include <ostream>

namespace tern::tool {

namespace {

std::uint32_t formatNumber(const std::string& text)
{
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0)
        throw UsageError("\"" + text + "\" is not a format number");
    return number;
}

// Formats over the desktop program's limit are skipped as it skips them: no client could restore them.
void addFormat(ClipboardFormats& formats, const std::string& password, std::uint32_t format,
               const std::string& bytes, std::ostream& err)
{
    if (bytes.size() > kMaxFormatBytes) {
        err << "Format " << format << " skipped: " << bytes.size() << " bytes, more than " << kMaxFormatBytes
            << '\n';
        return;
    }
    auto item = std::make_unique<TClipboardFormat>(password);
    item->Format = format;
    item->Data.Write(0, bytes);
    formats.push_back(std::move(item));
}

int runCopy(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    std::string source;
    bool haveSource = false;
    bool fromClipboard = false;
    std::vector<std::pair<std::uint32_t, std::string>> raw;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--clipboard") {
            fromClipboard = true;
        } else if (args[i] == "--format") {
            if (i + 1 >= args.size())
                throw UsageError("--format needs N=FILE");
            const std::string& assignment = args[++i];
            const size_t equals = assignment.find('=');
            if (equals == std::string::npos)
                throw UsageError("--format needs N=FILE");
            raw.emplace_back(formatNumber(assignment.substr(0, equals)), assignment.substr(equals + 1));
        } else if (!haveSource) {
            source = args[i];
            haveSource = true;
        } else {
            throw UsageError("more than one text source");
        }
    }

    if (fromClipboard && (haveSource || !raw.empty()))
        throw UsageError("--clipboard takes no text source and no --format");

    ServiceSession session(context, true);
    session.requireAccount();
    // With an end-to-end key every record is keyed with the key's value, and the key scheme record
    // follows the others.
    const std::string& passphrase = session.store().EndToEndKey;
    std::string password = CopyKeyValue(session.store().Password, passphrase);
    std::string& snapshot = session.snapshots().snapshot;
    snapshot.clear();
    if (fromClipboard) {
        // What Remote Copy uploads, without the copy keystroke: every format on the clipboard now.
        const std::unique_ptr<platform::SystemClipboard> clipboard = OpenToolClipboard();
        TExClipboard captured(*clipboard, [&password] { return password; });
        captured.CaptureAll();
        if (captured.Formats.empty())
            throw Error(session.text(text::kCopyFailed.section, text::kCopyFailed.key));
        AppendKeySchemeRecord(captured.Formats, passphrase);
        captured.SaveToStream(snapshot);
    } else {
        ClipboardFormats formats;
        // Without a text source the text comes from standard input unless only raw formats are given.
        if (haveSource || raw.empty())
            addFormat(formats, password, platform::kFormatUnicodeText,
                      Utf16LeTextBlock(ReadInputBytes(source, io.in)), io.err);
        for (const auto& [format, file] : raw)
            addFormat(formats, password, format, ReadInputBytes(file, io.in), io.err);
        if (formats.empty())
            throw Error(session.text(text::kCopyFailed.section, text::kCopyFailed.key));
        AppendKeySchemeRecord(formats, passphrase);
        SaveSnapshot(formats, snapshot);
    }

    if (!session.client().UploadSnapshot())
        throw Error(session.text(text::kUploadFailed.section, text::kUploadFailed.key));
    io.out << "The snapshot is stored: \"tern paste\" or Remote Paste brings it back.\n";
    return kExitOk;
}

int runPaste(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    std::string outFolder;
    bool toClipboard = false;
    if (args.size() == 2 && args[0] == "--out")
        outFolder = args[1];
    else if (args.size() == 1 && args[0] == "--clipboard")
        toClipboard = true;
    else if (!args.empty())
        throw UsageError("expected nothing, \"--out DIR\" or \"--clipboard\"");

    ServiceSession session(context, true);
    session.requireAccount();
    // The clipboard is reached before the download, so that a system without one fails at once.
    const std::unique_ptr<platform::SystemClipboard> clipboard = toClipboard ? OpenToolClipboard() : nullptr;
    if (!session.client().DownloadSnapshot())
        throw Error(session.text(text::kPasteFailed.section, text::kPasteFailed.key));
    const auto& restored = session.snapshots().restored;

    if (clipboard) {
        // What Remote Paste puts on the clipboard, without the paste keystroke.
        const std::string& password = session.store().Password;
        TExClipboard snapshot(*clipboard, [&password] { return password; });
        snapshot.SetEndToEndKey([&session] { return session.store().EndToEndKey; });
        snapshot.LoadFromStream(session.snapshots().restoredStream);
        // The download and its items are not read again: they go before the items are decoded, so
        // that no more than the restore's own copies are held.
        session.snapshots().restored.clear();
        std::string().swap(session.snapshots().restoredStream);
        if (!snapshot.RestoreAll())
            throw Error(session.text(text::kPasteFailed.section, text::kPasteFailed.key));
        io.out << session.text(text::kDataPasted.section, text::kDataPasted.key) << '\n';
        return kExitOk;
    }

    if (!outFolder.empty()) {
        if (!CreateFolders(outFolder))
            throw FileError("Cannot create \"" + outFolder + "\"");
        for (size_t index = 0; index < restored.size(); ++index) {
            const std::string name = IncludeTrailingSlash(outFolder) + std::to_string(index) + "-" +
                                     std::to_string(restored[index]->Format) + ".bin";
            WriteFileAtomically(name, restored[index]->Data.ReadAll(), true);
        }
        return kExitOk;
    }
    for (const auto& item : restored) {
        if (item->Format != platform::kFormatUnicodeText)
            continue;
        std::string text = ShareTextFromUtf16(item->Data.ReadAll());
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        io.out << text;
        return kExitOk;
    }
    // A snapshot without text is pasted as nothing; an empty one means nothing is stored.
    if (restored.empty())
        throw Error(session.text(text::kPasteFailed.section, text::kPasteFailed.key));
    return kExitOk;
}

} // namespace

Command MakeCopyCommand(ToolContext& context)
{
    return {"copy",
            "copy [FILE|-] [--format N=FILE]... | copy --clipboard\n"
            "                            upload a snapshot holding the text (format 13) and raw formats,\n"
            "                            or every format on the clipboard (Windows); with an end-to-end\n"
            "                            key (see \"key\") every format is enciphered under it",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runCopy(context, args, io);
            }};
}

Command MakePasteCommand(ToolContext& context)
{
    return {"paste",
            "paste [--out DIR|--clipboard]\n"
            "                            download the stored snapshot and print its text; with --out\n"
            "                            write every format as DIR/INDEX-FORMAT.bin; with --clipboard put\n"
            "                            every format on the clipboard (Windows); a copy made with an\n"
            "                            end-to-end key needs the same key",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runPaste(context, args, io);
            }};
}

} // namespace tern::tool
