#include "clipboard/KeyedSnapshot.h"

#include "platform/Clipboard.h"
#include "service/ByteOrder.h"
#include "util/Errors.h"

namespace tern {

namespace {

constexpr std::size_t kRecordHeaderSize = 9;
// A scheme record is a few dozen bytes; a longer one is not ours.
constexpr std::size_t kMaxSchemeStorage = 4096;

// The storage bytes of the last record, when every record header fits the stream.
std::optional<std::pair<std::uint32_t, std::string_view>> lastRecord(std::string_view stream,
                                                                     std::size_t position)
{
    if (position > stream.size() || stream.size() - position < 4)
        return std::nullopt;
    const auto count = static_cast<std::int32_t>(GetLe32(stream.data() + position));
    position += 4;
    if (count <= 0 || count > kMaxSnapshotRecords)
        return std::nullopt;
    std::uint32_t format = 0;
    std::string_view storage;
    for (std::int32_t index = 0; index < count; ++index) {
        if (stream.size() - position < kRecordHeaderSize)
            return std::nullopt;
        format = GetLe32(stream.data() + position + 1);
        const auto length = static_cast<std::int32_t>(GetLe32(stream.data() + position + 5));
        position += kRecordHeaderSize;
        if (length < 0 || stream.size() - position < static_cast<std::size_t>(length))
            return std::nullopt;
        storage = stream.substr(position, static_cast<std::size_t>(length));
        position += static_cast<std::size_t>(length);
    }
    return std::make_pair(format, storage);
}

} // namespace

std::string CopyKeyValue(const std::string& passwordValue, const std::string& passphrase)
{
    return passphrase.empty() ? passwordValue : EndToEndKeyValue(passphrase, KeySchemeForCopies());
}

void AppendKeySchemeRecord(ClipboardFormats& formats, const std::string& passphrase)
{
    if (passphrase.empty())
        return;
    // The record takes the place of the last format when the snapshot is full (before the name table,
    // which names the others).
    if (formats.size() >= static_cast<std::size_t>(kMaxSnapshotRecords)) {
        const bool named = formats.back()->Format == platform::kFormatNameTable;
        formats.erase(formats.end() - (named ? 2 : 1));
    }
    auto record = std::make_unique<TClipboardFormat>(std::string());
    record->Format = kFormatKeyScheme;
    record->Data.Write(0, EncodeKeyScheme(KeySchemeForCopies()));
    formats.push_back(std::move(record));
}

std::optional<KeyScheme> FindKeyScheme(std::string_view stream, std::size_t position)
{
    const auto last = lastRecord(stream, position);
    if (!last || last->first != kFormatKeyScheme || last->second.size() > kMaxSchemeStorage)
        return std::nullopt;
    TECLMemoryStream::Options options;
    options.maxLogicalSize = kMaxSchemeStorage;
    TECLMemoryStream data(std::string(), 0, TECLMemoryStream::kLevelCompressed, std::move(options));
    try {
        // Opening an enciphered container without a password value throws: such a record is a
        // clipboard format of that number, not ours.
        data.SetStorage(std::string(last->second));
        if (data.IsEnciphered())
            return std::nullopt;
        return DecodeKeyScheme(data.ReadAll());
    } catch (const StreamReadError&) {
        throw;
    } catch (const Error& error) {
        if (std::string_view(error.what()) == kEndToEndKeyNeededText)
            throw;
        return std::nullopt;
    }
}

void LoadKeyedSnapshot(std::string_view stream, std::size_t& position, const std::string& passwordValue,
                       const std::string& passphrase, const MonotonicClock& clock, ClipboardFormats& formats)
{
    const std::optional<KeyScheme> scheme = FindKeyScheme(stream, position);
    if (!scheme) {
        LoadSnapshot(stream, position, passwordValue, clock, formats);
        return;
    }
    formats.clear();
    if (passphrase.empty())
        throw Error(kEndToEndKeyNeededText);
    const auto checks = std::make_shared<EclPasswordChecks>();
    try {
        LoadSnapshot(stream, position, EndToEndKeyValue(passphrase, *scheme), clock, formats, checks);
    } catch (const StreamReadError&) {
        throw;
    } catch (const Error&) {
        // No container passed its password check: the first enciphered one refused this key.
        if (checks->TimedCount() == 0) {
            formats.clear();
            throw Error(kEndToEndKeyNeededText);
        }
        throw;
    }
    formats.pop_back();
}

} // namespace tern
