#include "clipboard/ExClipboard.h"

#include "clipboard/JpegCodec.h"
#include "clipboard/ShareConversion.h"

#include <algorithm>
#include <array>

namespace tern {

namespace {

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

std::unique_ptr<TClipboardFormat> TExClipboard::newItem(std::uint32_t format) const
{
    auto item = std::make_unique<TClipboardFormat>(m_password ? m_password() : std::string(), m_clock);
    item->Format = format;
    return item;
}

void TExClipboard::CaptureAll()
{
    Formats.clear();
    if (m_clipboard.hasFormat(platform::kFormatBitmap)) {
        const std::optional<platform::Bitmap> bitmap = m_clipboard.bitmap();
        if (bitmap && !bitmap->empty()) {
            const std::string jpeg = EncodeJpeg(*bitmap, kSnapshotJpegQuality);
            auto item = newItem(platform::kFormatBitmap);
            item->Data.Write(0, jpeg);
            Formats.push_back(std::move(item));
        }
    }
    for (const std::uint32_t format : m_clipboard.formats()) {
        if (isSkipped(format))
            continue;
        const std::optional<std::string> data = m_clipboard.data(format);
        if (!data || data->empty() || data->size() > kMaxFormatBytes)
            continue;
        // A short word is a short Unicode text block; the minimum applies to the other formats.
        if (format != platform::kFormatUnicodeText && data->size() < kMinFormatBytes)
            continue;
        auto item = newItem(format);
        item->Data.Write(0, *data);
        Formats.push_back(std::move(item));
    }
}

void TExClipboard::SaveToStream(std::string& stream) const
{
    SaveSnapshot(Formats, stream);
}

std::size_t TExClipboard::LoadFromStream(std::string_view stream, std::size_t position)
{
    LoadSnapshot(stream, position, m_password ? m_password() : std::string(), m_clock, Formats);
    return position;
}

void TExClipboard::RestoreAll()
{
    if (Formats.empty())
        return;
    std::vector<platform::ClipboardEntry> entries;
    entries.reserve(Formats.size());
    for (const auto& item : Formats) {
        platform::ClipboardEntry entry;
        entry.format = item->Format;
        if (item->Format == platform::kFormatBitmap)
            entry.data = DecodeJpeg(item->Data.ReadAll());
        else
            entry.data = item->Data.ReadAll();
        entries.push_back(std::move(entry));
    }
    m_clipboard.replace(entries);
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
