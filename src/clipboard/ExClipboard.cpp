#include "clipboard/ExClipboard.h"

#include "clipboard/FormatNameTable.h"
#include "clipboard/JpegCodec.h"
#include "clipboard/KeyedSnapshot.h"
#include "clipboard/ShareConversion.h"

#include "util/Errors.h"

#include <algorithm>
#include <array>

namespace tern {

namespace {

// The decoder's tables and row buffers, beyond what the budget leaves it.
constexpr std::uint64_t kJpegDecoderSlackBytes = std::uint64_t{8} << 20;

bool isSkipped(std::uint32_t format)
{
    static constexpr std::array<std::uint32_t, 5> kSkipped = {kFormatText, kFormatOemText, kFormatDib,
                                                              kFormatDibV5, platform::kFormatBitmap};
    return std::find(kSkipped.begin(), kSkipped.end(), format) != kSkipped.end();
}

} // namespace

TExClipboard::TExClipboard(platform::SystemClipboard& clipboard, std::function<std::string()> password,
                           MonotonicClock clock)
    : m_clipboard(clipboard), m_password(std::move(password)), m_clock(std::move(clock))
{
}

std::unique_ptr<TClipboardFormat> TExClipboard::newItem(std::uint32_t format,
                                                        const std::string& keyValue) const
{
    auto item = std::make_unique<TClipboardFormat>(keyValue, m_clock);
    item->Format = format;
    return item;
}

void TExClipboard::CaptureAll()
{
    Formats.clear();
    m_names.clear();
    const std::string passphrase = m_passphrase ? m_passphrase() : std::string();
    const std::string keyValue = CopyKeyValue(m_password ? m_password() : std::string(), passphrase);
    if (m_clipboard.hasFormat(platform::kFormatBitmap)) {
        const std::optional<platform::Bitmap> bitmap = m_clipboard.bitmap();
        if (bitmap && !bitmap->empty()) {
            const std::string jpeg = EncodeJpeg(*bitmap, kSnapshotJpegQuality);
            auto item = newItem(platform::kFormatBitmap, keyValue);
            item->Data.Write(0, jpeg);
            Formats.push_back(std::move(item));
        }
    }
    std::vector<FormatName> names;
    for (const std::uint32_t format : m_clipboard.formats()) {
        // One record stays free for the name table.
        if (Formats.size() + 1 >= static_cast<std::size_t>(kMaxSnapshotRecords))
            break;
        if (isSkipped(format) || format == platform::kFormatNameTable)
            continue;
        std::string name = m_clipboard.formatName(format);
        if (!name.empty() && !IsCarriableFormatName(name))
            continue;
        const std::optional<std::string> data = m_clipboard.data(format);
        if (!data || data->empty() || data->size() > kMaxFormatBytes)
            continue;
        // A short word is a short Unicode text block; the minimum applies to the other formats.
        if (format != platform::kFormatUnicodeText && data->size() < kMinFormatBytes)
            continue;
        auto item = newItem(format, keyValue);
        item->Data.Write(0, *data);
        Formats.push_back(std::move(item));
        if (!name.empty())
            names.push_back(FormatName{format, std::move(name)});
    }
    if (!names.empty()) {
        auto table = newItem(platform::kFormatNameTable, keyValue);
        table->Data.Write(0, EncodeFormatNames(names));
        Formats.push_back(std::move(table));
    }
    AppendKeySchemeRecord(Formats, passphrase);
}

void TExClipboard::SaveToStream(std::string& stream) const
{
    SaveSnapshot(Formats, stream);
}

std::size_t TExClipboard::LoadFromStream(std::string_view stream, std::size_t position)
{
    m_names.clear();
    LoadKeyedSnapshot(stream, position, m_password ? m_password() : std::string(),
                      m_passphrase ? m_passphrase() : std::string(), m_clock, Formats);
    if (!Formats.empty() && Formats.back()->Format == platform::kFormatNameTable) {
        for (FormatName& entry : DecodeFormatNames(Formats.back()->Data.ReadAll()))
            m_names.emplace(entry.format, std::move(entry.name));
        Formats.pop_back();
    }
    return position;
}

bool TExClipboard::RestoreAll()
{
    // Everything is decoded within one budget before the clipboard is touched. Each item is held
    // decoded once here and once more by the clipboard, which frees ours as it makes its own.
    std::uint64_t decoded = 0;
    for (const auto& item : Formats)
        decoded += item->Data.Size();
    if (decoded > kMaxDecodedSnapshotBytes)
        throw Error("The clipboard data is too large to restore.");
    std::vector<platform::ClipboardEntry> entries;
    entries.reserve(Formats.size());
    for (const auto& item : Formats) {
        if (item->Format == platform::kFormatNameTable)
            continue;
        platform::ClipboardEntry entry;
        entry.format = item->Format;
        if (item->Format == platform::kFormatBitmap) {
            // The picture is counted at its size on the clipboard instead of its file's, which is
            // freed once decoded; its header says whether it fits before any pixel is allocated, and
            // the decoder's own memory has the same bound.
            decoded -= item->Data.Size();
            const std::uint64_t bytesLeft = kMaxDecodedSnapshotBytes - decoded;
            const std::uint64_t pixelsLeft = bytesLeft / kSnapshotPictureBytesPerPixel;
            platform::Bitmap bitmap =
                DecodeJpeg(item->Data.ReadAll(), std::min(kMaxSnapshotPicturePixels, pixelsLeft),
                           bytesLeft + kJpegDecoderSlackBytes);
            decoded += std::uint64_t{static_cast<std::uint32_t>(bitmap.width)} *
                       static_cast<std::uint32_t>(bitmap.height) * kSnapshotPictureBytesPerPixel;
            entry.data = std::move(bitmap);
        } else {
            entry.data = item->Data.ReadAll();
        }
        if (const auto name = m_names.find(item->Format); name != m_names.end())
            entry.name = name->second;
        entries.push_back(std::move(entry));
    }
    return m_clipboard.replace(std::move(entries));
}

int TExClipboard::SaveShareable(std::string& stream)
{
    if (m_clipboard.hasFormat(platform::kFormatUnicodeText)) {
        stream += ShareTextFromUtf16(m_clipboard.data(platform::kFormatUnicodeText).value_or(std::string()));
        return kShareText;
    }
    if (m_clipboard.hasFormat(platform::kFormatBitmap)) {
        const std::optional<platform::Bitmap> bitmap = m_clipboard.bitmap();
        if (bitmap && !bitmap->empty())
            return AppendShareImage(*bitmap, stream);
    }
    return kShareNothing;
}

} // namespace tern
