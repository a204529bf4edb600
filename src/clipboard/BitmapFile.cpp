#include "clipboard/BitmapFile.h"

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
// The largest picture accepted: bigger than any desktop of several 8K monitors, small enough that a
// forged header cannot make the program allocate gigabytes.
constexpr std::int64_t kMaxSide = 65535;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
// Leaves room for the largest accepted picture at 4 bytes a pixel.
constexpr std::size_t kMaxFileBytes = kPixelOffset + 16 + 4 * static_cast<std::size_t>(kMaxPixels);

void putU16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void putU32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t u32At(std::string_view file, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(file[offset + static_cast<std::size_t>(i)]);
    return value;
}

std::uint16_t u16At(std::string_view file, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(file[offset]) |
                                      static_cast<unsigned char>(file[offset + 1]) << 8);
}

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
    putU32(out, static_cast<std::uint32_t>(kPixelOffset + imageBytes));
    putU32(out, 0);
    putU32(out, static_cast<std::uint32_t>(kPixelOffset));
    putU32(out, static_cast<std::uint32_t>(kInfoHeaderSize));
    putU32(out, static_cast<std::uint32_t>(bitmap.width));
    putU32(out, static_cast<std::uint32_t>(bitmap.height)); // positive: rows bottom-up
    putU16(out, 1);
    putU16(out, 24);
    putU32(out, kUncompressed);
    putU32(out, static_cast<std::uint32_t>(imageBytes));
    putU32(out, kPixelsPerMetre);
    putU32(out, kPixelsPerMetre);
    putU32(out, 0);
    putU32(out, 0);

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
    const std::uint32_t pixelOffset = u32At(file, 10);
    const std::uint32_t infoSize = u32At(file, 14);
    if (infoSize < kInfoHeaderSize || kFileHeaderSize + infoSize > file.size())
        notABitmap("unknown header size");
    const auto width = static_cast<std::int64_t>(static_cast<std::int32_t>(u32At(file, 18)));
    const auto signedHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(u32At(file, 22)));
    const std::uint16_t planes = u16At(file, 26);
    const std::uint16_t bits = u16At(file, 28);
    const std::uint32_t compression = u32At(file, 30);
    const bool bottomUp = signedHeight > 0;
    const std::int64_t height = bottomUp ? signedHeight : -signedHeight;

    if (planes != 1 || (bits != 24 && bits != 32))
        notABitmap("only 24- and 32-bit pictures are read");
    if (compression != kUncompressed && !(bits == 32 && compression == kBitFields))
        notABitmap("compressed pictures are not read");
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
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
