#include "clipboard/BitmapFile.h"

#include "service/ByteOrder.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <cstdint>
#include <limits>

namespace tern {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
// 96 pixels per inch, in pixels per metre.
constexpr std::int32_t kPixelsPerMetre = 3780;
// Leaves room for the largest accepted picture at 4 bytes a pixel.
constexpr std::size_t kMaxFileBytes = kPixelOffset + 16 + 4 * static_cast<std::size_t>(kMaxBitmapPixels);

std::size_t rowBytes(std::int64_t width, int bitsPerPixel)
{
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

[[noreturn]] void notABitmap(const std::string& why)
{
    throw StreamReadError("The picture file is not a readable bitmap: " + why + ".");
}

} // namespace

std::string EncodeBmp(const platform::Bitmap& bitmap)
{
    if (bitmap.empty() || bitmap.rgb.size() != static_cast<std::size_t>(bitmap.width) *
                                                   static_cast<std::size_t>(bitmap.height) * 3)
        throw Error("There is no picture to save.");
    const std::size_t stride = rowBytes(bitmap.width, 24);
    const std::size_t imageBytes = stride * static_cast<std::size_t>(bitmap.height);
    if (kPixelOffset + imageBytes > std::numeric_limits<std::uint32_t>::max())
        throw Error("The picture is too large to save.");

    std::string out;
    out.reserve(kPixelOffset + imageBytes);
    out += "BM";
    AppendLe32(out, static_cast<std::uint32_t>(kPixelOffset + imageBytes));
    AppendLe32(out, 0);
    AppendLe32(out, static_cast<std::uint32_t>(kPixelOffset));
    AppendLe32(out, static_cast<std::uint32_t>(kInfoHeaderSize));
    AppendLe32(out, static_cast<std::uint32_t>(bitmap.width));
    AppendLe32(out, static_cast<std::uint32_t>(bitmap.height)); // positive: rows bottom-up
    AppendLe16(out, 1);
    AppendLe16(out, 24);
    AppendLe32(out, kUncompressed);
    AppendLe32(out, static_cast<std::uint32_t>(imageBytes));
    AppendLe32(out, kPixelsPerMetre);
    AppendLe32(out, kPixelsPerMetre);
    AppendLe32(out, 0);
    AppendLe32(out, 0);

    const std::size_t width = static_cast<std::size_t>(bitmap.width);
    const std::string padding(stride - width * 3, '\0');
    for (int y = bitmap.height - 1; y >= 0; --y) {
        const std::uint8_t* row = bitmap.rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (std::size_t x = 0; x < width; ++x) {
            out += static_cast<char>(row[3 * x + 2]);
            out += static_cast<char>(row[3 * x + 1]);
            out += static_cast<char>(row[3 * x]);
        }
        out += padding;
    }
    return out;
}

platform::Bitmap DecodeBmp(std::string_view file)
{
    if (file.size() < kPixelOffset || file.substr(0, 2) != "BM")
        notABitmap("no bitmap header");
    const std::uint32_t pixelOffset = GetLe32(file, 10);
    const std::uint32_t infoSize = GetLe32(file, 14);
    if (infoSize < kInfoHeaderSize || kFileHeaderSize + infoSize > file.size())
        notABitmap("unknown header size");
    const auto width = static_cast<std::int64_t>(static_cast<std::int32_t>(GetLe32(file, 18)));
    const auto signedHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(GetLe32(file, 22)));
    const std::uint16_t planes = GetLe16(file, 26);
    const std::uint16_t bits = GetLe16(file, 28);
    const std::uint32_t compression = GetLe32(file, 30);
    const bool bottomUp = signedHeight > 0;
    const std::int64_t height = bottomUp ? signedHeight : -signedHeight;

    if (planes != 1 || (bits != 24 && bits != 32))
        notABitmap("only 24- and 32-bit pictures are read");
    if (compression != kUncompressed && !(bits == 32 && compression == kBitFields))
        notABitmap("compressed pictures are not read");
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels)
        notABitmap("impossible size");
    const std::size_t stride = rowBytes(width, bits);
    const std::size_t imageBytes = stride * static_cast<std::size_t>(height);
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > file.size() ||
        file.size() - pixelOffset < imageBytes)
        notABitmap("the file is truncated");

    platform::Bitmap bitmap;
    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.rgb.resize(static_cast<std::size_t>(width * height) * 3);
    const std::size_t bytesPerPixel = bits / 8U;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t fileRow = bottomUp ? height - 1 - y : y;
        const char* in = file.data() + pixelOffset + static_cast<std::size_t>(fileRow) * stride;
        std::uint8_t* out = bitmap.rgb.data() + static_cast<std::size_t>(y * width) * 3;
        for (std::int64_t x = 0; x < width; ++x, in += bytesPerPixel, out += 3) {
            out[0] = static_cast<std::uint8_t>(in[2]);
            out[1] = static_cast<std::uint8_t>(in[1]);
            out[2] = static_cast<std::uint8_t>(in[0]);
        }
    }
    return bitmap;
}

void SaveBitmapFile(const std::string& path, const platform::Bitmap& bitmap)
{
    WriteFileAtomically(path, EncodeBmp(bitmap), true);
}

platform::Bitmap LoadBitmapFile(const std::string& path)
{
    const std::optional<std::string> bytes = ReadFileBytes(path, kMaxFileBytes);
    if (!bytes)
        throw FileError("The picture file " + path + " cannot be read.");
    return DecodeBmp(*bytes);
}

} // namespace tern
