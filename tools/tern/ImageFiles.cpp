#include "ImageFiles.h"

#include "clipboard/JpegCodec.h"
#include "util/Errors.h"

#include <cstdint>
#include <cstring>

#include <png.h>

namespace tern::tool {

namespace {

std::uint32_t le32(std::string_view bytes, size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

std::uint16_t le16(std::string_view bytes, size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

platform::Bitmap decodePng(std::string_view bytes)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw Error("The PNG file cannot be read");
    if (std::uint64_t{image.width} * image.height > kMaxDecodedPixels || image.width == 0 ||
        image.height == 0) {
        png_image_free(&image);
        throw Error("The PNG picture is too large");
    }
    image.format = PNG_FORMAT_RGB;
    platform::Bitmap bitmap;
    bitmap.width = static_cast<int>(image.width);
    bitmap.height = static_cast<int>(image.height);
    bitmap.rgb.resize(size_t{image.width} * image.height * 3);
    // Transparent pixels are composed onto white, as a clipboard picture has no alpha.
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, bitmap.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        throw Error("The PNG file cannot be read");
    }
    return bitmap;
}

// Uncompressed 24- and 32-bit BMP files (bottom-up or top-down rows).
platform::Bitmap decodeBmp(std::string_view bytes)
{
    if (bytes.size() < 54)
        throw Error("The BMP file is cut short");
    const std::uint32_t dataOffset = le32(bytes, 10);
    const std::uint32_t headerSize = le32(bytes, 14);
    const auto width = static_cast<std::int32_t>(le32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(le32(bytes, 22));
    const std::uint16_t bits = le16(bytes, 28);
    const std::uint32_t compression = le32(bytes, 30);
    if (headerSize < 40 || (bits != 24 && bits != 32) ||
        (compression != 0 && !(compression == 3 && bits == 32)))
        throw Error("Only uncompressed 24- and 32-bit BMP files are supported");
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        throw Error("The BMP file has no picture");
    const bool topDown = rawHeight < 0;
    const std::uint64_t height = topDown ? std::uint64_t(-std::int64_t{rawHeight}) : std::uint64_t(rawHeight);
    if (std::uint64_t(width) * height > kMaxDecodedPixels)
        throw Error("The BMP picture is too large");
    const std::uint64_t stride = (std::uint64_t(width) * bits / 8 + 3) / 4 * 4;
    if (dataOffset > bytes.size() || stride * height > bytes.size() - dataOffset)
        throw Error("The BMP file is cut short");

    platform::Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = static_cast<int>(height);
    bitmap.rgb.resize(size_t(width) * height * 3);
    const size_t pixelBytes = bits / 8;
    for (std::uint64_t row = 0; row < height; ++row) {
        const std::uint64_t sourceRow = topDown ? row : height - 1 - row;
        const size_t source = dataOffset + size_t(sourceRow * stride);
        std::uint8_t* target = bitmap.rgb.data() + size_t(row) * size_t(width) * 3;
        for (size_t x = 0; x < size_t(width); ++x) {
            const size_t at = source + x * pixelBytes;
            target[x * 3 + 0] = static_cast<std::uint8_t>(bytes[at + 2]);
            target[x * 3 + 1] = static_cast<std::uint8_t>(bytes[at + 1]);
            target[x * 3 + 2] = static_cast<std::uint8_t>(bytes[at + 0]);
        }
    }
    return bitmap;
}

} // namespace

std::optional<platform::Bitmap> DecodeImageFile(std::string_view bytes)
{
    if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1A\n", 8))
        return decodePng(bytes);
    if (bytes.substr(0, 3) == "\xFF\xD8\xFF")
        return DecodeJpeg(bytes);
    if (bytes.size() >= 54 && bytes.substr(0, 2) == "BM") {
        const std::uint32_t headerSize = le32(bytes, 14);
        if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
            headerSize == 124)
            return decodeBmp(bytes);
    }
    return std::nullopt;
}

} // namespace tern::tool
