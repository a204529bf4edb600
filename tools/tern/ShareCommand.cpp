#include "ShareCommand.h"

#include "ImageFiles.h"
#include "ServiceSession.h"
#include "clipboard/ShareConversion.h"
#include "util/TextEncoding.h"

#include <ostream>

namespace tern::tool {

namespace {

int runShare(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    if (args.size() > 1)
        throw UsageError("expected at most one FILE");
    const std::string bytes = ReadInputBytes(args.empty() ? std::string() : args[0], io.in);

    ServiceSession session(context, true);
    session.requireAccount();
    ToolSnapshots& snapshots = session.snapshots();
    snapshots.share.clear();
    if (const std::optional<platform::Bitmap> picture = DecodeImageFile(bytes)) {
        snapshots.shareKind = AppendShareImage(*picture, snapshots.share);
    } else {
        // Text goes the way clipboard text goes: UTF-16 with its terminator, then the share's UTF-8.
        snapshots.share = ShareTextFromUtf16(Utf16LeTextBlock(bytes));
        snapshots.shareKind = kShareText;
    }
    const std::string key = session.client().UploadClipboardShare();
    io.out << session.client().shareLinkUrl(key) << '\n';
    return kExitOk;
}

} // namespace

Command MakeShareCommand(ToolContext& context)
{
    return {"share",
            "share [FILE|-]              share text or a PNG, JPEG or BMP picture and print the link",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runShare(context, args, io);
            }};
}

} // namespace tern::tool
