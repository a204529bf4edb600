#include "clipboard/DibPicture.h"

#include "clipboard/BitmapFile.h"
#include "service/ByteOrder.h"

#include <array>
#include <bit>
#include <cstdint>

namespace tern {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

// One colour channel under a mask, scaled to 0..255.
struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maximum = 0;

    explicit Channel(std::uint32_t bits) : mask(bits)
    {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            maximum = mask >> shift;
        }
    }

    std::uint8_t of(std::uint32_t pixel) const
    {
        if (maximum == 0)
            return 0;
        return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255U / maximum);
    }
};

} // namespace

std::optional<platform::Bitmap> BitmapFromDib(std::string_view dib)
{
    if (dib.size() < kInfoHeaderSize)
        return std::nullopt;
    const std::uint32_t headerSize = GetLe32(dib, 0);
    if (headerSize < kInfoHeaderSize || headerSize > dib.size())
        return std::nullopt;
    const auto width = static_cast<std::int64_t>(static_cast<std::int32_t>(GetLe32(dib, 4)));
    const auto signedHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(GetLe32(dib, 8)));
    const std::uint16_t bits = GetLe16(dib, 14);
    const std::uint32_t compression = GetLe32(dib, 16);
    const std::uint32_t coloursUsed = GetLe32(dib, 32);
    const bool bottomUp = signedHeight > 0;
    const std::int64_t height = bottomUp ? signedHeight : -signedHeight;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels)
        return std::nullopt;

    const bool masked = compression == kBitFields || compression == kAlphaBitFields;
    if (compression != kUncompressed && !(masked && (bits == 16 || bits == 32)))
        return std::nullopt;
    std::size_t offset = headerSize;
    std::array<std::uint32_t, 3> masks{};
    if (masked) {
        // A plain information header is followed by the masks; the larger headers hold them.
        const std::size_t masksAt = headerSize == kInfoHeaderSize ? headerSize : kInfoHeaderSize;
        if (dib.size() < masksAt + 12)
            return std::nullopt;
        masks = {GetLe32(dib, masksAt), GetLe32(dib, masksAt + 4), GetLe32(dib, masksAt + 8)};
        if (headerSize == kInfoHeaderSize)
            offset += compression == kAlphaBitFields ? 16 : 12;
    } else if (bits == 16) {
        masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bits == 32) {
        masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    }

    std::vector<std::array<std::uint8_t, 3>> palette;
    if (bits == 1 || bits == 4 || bits == 8) {
        const std::size_t most = std::size_t{1} << bits;
        const std::size_t count = coloursUsed == 0 || coloursUsed > most ? most : coloursUsed;
        if (dib.size() < offset || (dib.size() - offset) / 4 < count)
            return std::nullopt;
        for (std::size_t i = 0; i < count; ++i, offset += 4) {
            palette.push_back({static_cast<std::uint8_t>(dib[offset + 2]),
                               static_cast<std::uint8_t>(dib[offset + 1]),
                               static_cast<std::uint8_t>(dib[offset])});
        }
    } else if (bits != 16 && bits != 24 && bits != 32) {
        return std::nullopt;
    }

    const auto stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
    if (offset > dib.size() || (dib.size() - offset) / stride < static_cast<std::size_t>(height))
        return std::nullopt;

    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    platform::Bitmap bitmap;
    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.rgb.resize(static_cast<std::size_t>(width * height) * 3);
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t dibRow = bottomUp ? height - 1 - y : y;
        const auto* row = reinterpret_cast<const unsigned char*>(dib.data() + offset +
                                                                 static_cast<std::size_t>(dibRow) * stride);
        std::uint8_t* out = bitmap.rgb.data() + static_cast<std::size_t>(y * width) * 3;
        for (std::int64_t x = 0; x < width; ++x, out += 3) {
            const auto column = static_cast<std::size_t>(x);
            if (!palette.empty()) {
                const std::size_t bitOffset = column * bits;
                const unsigned byte = row[bitOffset / 8];
                const std::size_t index = (byte >> (8 - bits - bitOffset % 8)) & ((1U << bits) - 1);
                const auto& colour = index < palette.size() ? palette[index] : palette.front();
                out[0] = colour[0];
                out[1] = colour[1];
                out[2] = colour[2];
            } else if (bits == 24) {
                out[0] = row[column * 3 + 2];
                out[1] = row[column * 3 + 1];
                out[2] = row[column * 3];
            } else {
                const unsigned char* in = row + column * (bits / 8U);
                const std::uint32_t pixel =
                    bits == 16 ? static_cast<std::uint32_t>(in[0] | in[1] << 8)
                               : static_cast<std::uint32_t>(in[0] | in[1] << 8 | in[2] << 16) |
                                     static_cast<std::uint32_t>(in[3]) << 24;
                out[0] = red.of(pixel);
                out[1] = green.of(pixel);
                out[2] = blue.of(pixel);
            }
        }
    }
    return bitmap;
}

std::string DibFromBitmap(const platform::Bitmap& bitmap)
{
    // A bitmap file is the same data behind a file header, which is taken off where it lies (a
    // substring would hold the pixels a third time, beside the picture and the file).
    std::string dib = EncodeBmp(bitmap);
    dib.erase(0, kFileHeaderSize);
    return dib;
}

} // namespace tern
