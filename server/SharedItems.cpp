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

// The code unit of a 3-byte surrogate half at `pos` (0xED 0xA0..0xBF 0x80..0xBF), or 0.
char32_t surrogateAt(std::string_view text, std::size_t pos) noexcept
{
    if (pos + 3 > text.size())
        return 0;
    const auto b0 = static_cast<unsigned char>(text[pos]);
    const auto b1 = static_cast<unsigned char>(text[pos + 1]);
    const auto b2 = static_cast<unsigned char>(text[pos + 2]);
    if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80)
        return 0;
    return 0xD000 | (static_cast<char32_t>(b1 & 0x3F) << 6) | (b2 & 0x3F);
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

std::string ShareTextForDisplay(std::string_view bytes)
{
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t high = surrogateAt(text, pos);
        if (high != 0) {
            const char32_t low = surrogateAt(text, pos + 3);
            if (high <= 0xDBFF && low >= 0xDC00) {
                AppendUtf8(result, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
                pos += 6;
            } else {
                AppendUtf8(result, 0xFFFD);
                pos += 3;
            }
            continue;
        }
        AppendUtf8(result, DecodeUtf8(text, pos));
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
