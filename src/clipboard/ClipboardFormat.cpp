#include "clipboard/ClipboardFormat.h"

#include "service/ByteOrder.h"
#include "util/Errors.h"

namespace tern {

namespace {

constexpr std::size_t kRecordHeaderSize = 9;
constexpr char kRecordMarker = 0x01;

TECLMemoryStream::Options itemOptions(MonotonicClock clock, std::shared_ptr<EclPasswordChecks> checks)
{
    TECLMemoryStream::Options options;
    options.clock = std::move(clock);
    options.maxLogicalSize = kMaxFormatBytes;
    options.checks = std::move(checks);
    // Every record the program has written holds a container (at least its header) or nothing.
    options.plainAllowed = false;
    return options;
}

void appendLe32(std::string& stream, std::uint32_t value)
{
    char bytes[4];
    PutLe32(bytes, value);
    stream.append(bytes, 4);
}

void need(std::string_view stream, std::size_t position, std::size_t count)
{
    if (position > stream.size() || stream.size() - position < count)
        throw StreamReadError("Stream read error");
}

} // namespace

TClipboardFormat::TClipboardFormat(const std::string& password, MonotonicClock clock,
                                   std::shared_ptr<EclPasswordChecks> checks)
    : Data(password, 0, TECLMemoryStream::kLevelCompressed, itemOptions(std::move(clock), std::move(checks)))
{
}

void TClipboardFormat::WriteRecord(std::string& stream) const
{
    const std::string& storage = Data.Storage();
    if (storage.size() > 0x7FFFFFFFu)
        throw Error("The clipboard data is too large.");
    stream += kRecordMarker;
    appendLe32(stream, Format);
    appendLe32(stream, static_cast<std::uint32_t>(storage.size()));
    stream += storage;
}

void TClipboardFormat::ReadRecord(std::string_view stream, std::size_t& position)
{
    need(stream, position, kRecordHeaderSize);
    Format = GetLe32(stream.data() + position + 1);
    const auto length = static_cast<std::int32_t>(GetLe32(stream.data() + position + 5));
    position += kRecordHeaderSize;
    if (length < 0)
        throw StreamReadError("Stream read error: negative record length");
    need(stream, position, static_cast<std::size_t>(length));
    if (length != 0)
        Data.SetStorage(std::string(stream.substr(position, static_cast<std::size_t>(length))));
    position += static_cast<std::size_t>(length);
}

void SaveSnapshot(const ClipboardFormats& formats, std::string& stream)
{
    appendLe32(stream, static_cast<std::uint32_t>(formats.size()));
    for (const auto& format : formats)
        format->WriteRecord(stream);
}

void LoadSnapshot(std::string_view stream, std::size_t& position, const std::string& password,
                  const MonotonicClock& clock, ClipboardFormats& formats,
                  std::shared_ptr<EclPasswordChecks> checks)
{
    formats.clear();
    need(stream, position, 4);
    const auto count = static_cast<std::int32_t>(GetLe32(stream.data() + position));
    position += 4;
    if (count <= 0)
        return;
    if (count > kMaxSnapshotRecords)
        throw StreamReadError("Stream read error: too many records");
    // Every record takes at least its 9 header bytes.
    if (static_cast<std::uint64_t>(count) > (stream.size() - position) / kRecordHeaderSize)
        throw StreamReadError("Stream read error: record count exceeds the data");
    if (!checks)
        checks = std::make_shared<EclPasswordChecks>();
    std::uint64_t decoded = 0;
    for (std::int32_t index = 0; index < count; ++index) {
        auto item = std::make_unique<TClipboardFormat>(password, clock, checks);
        item->ReadRecord(stream, position);
        decoded += item->Data.Size();
        if (decoded > kMaxDecodedSnapshotBytes)
            throw Error("The clipboard data is too large to restore.");
        formats.push_back(std::move(item));
    }
}

} // namespace tern
