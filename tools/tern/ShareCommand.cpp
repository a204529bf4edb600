#include "ShareCommand.h"

#include "ImageFiles.h"
#include "ServiceSession.h"
#include "clipboard/JpegCodec.h"
#include "clipboard/ShareConversion.h"
#include "util/TextEncoding.h"

#include <ostream>

namespace tern::tool {

namespace {

// A picture file is converted before it is shared, so it may be much larger than its share: up to four
// bytes for each pixel of the largest picture the decoders accept, plus room for the file's headers.
constexpr size_t kMaxPictureFileBytes = 4 * kMaxDecodedPixels + 1'000'000;

int runShare(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    if (args.size() > 1)
        throw UsageError("expected at most one FILE");
    const std::string bytes =
        ReadInputBytes(args.empty() ? std::string() : args[0], io.in, kMaxPictureFileBytes);

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
    // A share over the service's limit is refused here, with the limit, before anything is sent.
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
