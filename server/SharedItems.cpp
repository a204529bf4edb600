#include "SharedItems.h"

#include "util/TextEncoding.h"

#include <cstdint>

namespace tern::server {
namespace {

constexpr std::string_view kJpegSignature = "\xFF\xD8\xFF";
constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";

std::uint32_t readUint32(std::string_view bytes, std::size_t at) noexcept
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char32_t c) noexcept
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::optional<ShareKind> ParseShareKind(std::string_view text) noexcept
{
    if (text.size() != 1 || text[0] < '0' || text[0] > '3')
        return std::nullopt;
    return static_cast<ShareKind>(text[0] - '0');
}

bool PayloadMatchesKind(ShareKind kind, std::string_view data) noexcept
{
    switch (kind) {
    case ShareKind::Text:
        return true;
    case ShareKind::Jpeg:
        return data.starts_with(kJpegSignature);
    case ShareKind::Png:
        return data.starts_with(kPngSignature);
    case ShareKind::Nothing:
        break;
    }
    return false;
}

bool IsSnapshotStream(std::string_view bytes) noexcept
{
    constexpr std::uint32_t kSignBit = 0x80000000u;
    if (bytes.size() < 4)
        return false;
    const std::uint32_t count = readUint32(bytes, 0);
    if ((count & kSignBit) != 0)
        return false;
    std::size_t pos = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - pos < 9)
            return false;
        const std::uint32_t length = readUint32(bytes, pos + 5);
        if ((length & kSignBit) != 0)
            return false;
        pos += 9;
        if (bytes.size() - pos < length)
            return false;
        pos += length;
    }
    return pos == bytes.size();
}

namespace {

// The unpacked length of one record's storage: a payload container's block plain sizes added up, or
// the length of storage that is no container (taken as plain data). Nothing for a broken container.
std::optional<std::uint64_t> unpackedLength(std::string_view storage) noexcept
{
    constexpr std::size_t kHeaderSize = 128;
    constexpr std::size_t kBlockHeaderSize = 16;
    if (storage.size() < kHeaderSize || storage.substr(0, 4) != "AACS")
        return storage.size();
    const std::uint32_t count = readUint32(storage, 12);
    std::uint64_t offset = kHeaderSize + std::uint64_t{readUint32(storage, 23)};
    std::uint64_t total = 0;
    for (std::uint32_t block = 0; block < count; ++block) {
        if (offset > storage.size() || storage.size() - offset < kBlockHeaderSize)
            return std::nullopt;
        total += readUint32(storage, offset + 4);
        if (total > kMaxFormatBytes)
            return total;
        const std::uint64_t next = readUint32(storage, offset + 12);
        if (next <= offset)
            return std::nullopt;
        offset = next;
    }
    return total;
}

} // namespace

bool SnapshotWithinClientLimits(std::string_view bytes) noexcept
{
    const std::uint32_t count = readUint32(bytes, 0);
    if (count > kMaxSnapshotRecords)
        return false;
    std::size_t pos = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t length = readUint32(bytes, pos + 5);
        const std::optional<std::uint64_t> unpacked = unpackedLength(bytes.substr(pos + 9, length));
        if (unpacked && *unpacked > kMaxFormatBytes)
            return false;
        pos += 9 + std::size_t{length};
    }
    return true;
}

std::string ShareTextForDisplay(std::string_view bytes)
{
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t c = DecodeUtf8(text, pos, true);
        if (isHighSurrogate(c)) {
            std::size_t next = pos;
            const char32_t low = next < text.size() ? DecodeUtf8(text, next, true) : 0;
            if (isLowSurrogate(low)) {
                AppendUtf8(result, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                pos = next;
                continue;
            }
        }
        AppendUtf8(result, isHighSurrogate(c) || isLowSurrogate(c) ? kReplacement : c);
    }
    return result;
}

std::string_view RawExtension(ShareKind kind) noexcept
{
    switch (kind) {
    case ShareKind::Text:
        return "txt";
    case ShareKind::Jpeg:
        return "jpg";
    case ShareKind::Png:
        return "png";
    case ShareKind::Nothing:
        break;
    }
    return {};
}

std::string_view RawContentType(ShareKind kind) noexcept
{
    switch (kind) {
    case ShareKind::Text:
        return "text/plain; charset=utf-8";
    case ShareKind::Jpeg:
        return "image/jpeg";
    case ShareKind::Png:
        return "image/png";
    case ShareKind::Nothing:
        break;
    }
    return "application/octet-stream";
}

} // namespace tern::server
