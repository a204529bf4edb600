#include "clipboard/JpegCodec.h"
#include "clipboard/PngEncoder.h"
#include "service/ByteOrder.h"
#include "util/Errors.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace tern {
namespace {

using platform::Bitmap;

// A screen-like picture: flat areas, hard edges, a gradient and some noise.
Bitmap screenLike(int width, int height)
{
    Bitmap bitmap{width, height, {}};
    std::uint32_t seed = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const bool window = x > width / 4 && y > height / 5 && x < width * 3 / 4;
            const bool text = window && (y / 3) % 5 == 0 && (x * 7 / 3) % 4 != 0;
            std::uint8_t r = window ? 240 : static_cast<std::uint8_t>(x * 255 / width);
            std::uint8_t g = window ? 240 : static_cast<std::uint8_t>(y * 255 / height);
            std::uint8_t b = window ? 245 : static_cast<std::uint8_t>(90 + (seed >> 29));
            if (text)
                r = g = b = 20;
            bitmap.rgb.insert(bitmap.rgb.end(), {r, g, b});
        }
    return bitmap;
}

struct Chunk
{
    std::string type;
    std::string data;
};

std::vector<Chunk> pngChunks(const std::string& png)
{
    std::vector<Chunk> chunks;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = __builtin_bswap32(GetLe32(png.data() + at));
        Chunk chunk{png.substr(at + 4, 4), png.substr(at + 8, length)};
        const std::uint32_t crc = __builtin_bswap32(GetLe32(png.data() + at + 8 + length));
        EXPECT_EQ(crc, crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4))
            << chunk.type;
        chunks.push_back(chunk);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

std::string inflateAll(const std::string& data)
{
    z_stream stream{};
    EXPECT_EQ(inflateInit(&stream), Z_OK);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    EXPECT_EQ(status, Z_STREAM_END);
    inflateEnd(&stream);
    return out;
}

TEST(ImageCodecs, PngHasTheShareSettingsAndDecodesToTheSamePixels)
{
    const Bitmap bitmap = screenLike(700, 400);
    const std::vector<Chunk> chunks = pngChunks(EncodePng(bitmap));
    ASSERT_GE(chunks.size(), 3u);
    ASSERT_EQ(chunks.front().type, "IHDR");
    const std::string& ihdr = chunks.front().data;
    EXPECT_EQ(__builtin_bswap32(GetLe32(ihdr.data())), 700u);
    EXPECT_EQ(__builtin_bswap32(GetLe32(ihdr.data() + 4)), 400u);
    EXPECT_EQ(ihdr[8], 8);  // bit depth
    EXPECT_EQ(ihdr[9], 2);  // RGB
    EXPECT_EQ(ihdr[12], 0); // no interlacing
    EXPECT_EQ(chunks.back().type, "IEND");
    std::string idat;
    int idatCount = 0;
    for (const Chunk& chunk : chunks) {
        if (chunk.type != "IDAT")
            continue;
        EXPECT_LE(chunk.data.size(), 65535u);
        idat += chunk.data;
        ++idatCount;
    }
    EXPECT_GT(idatCount, 1);
    // zlib header: compression levels 7 to 9 are flagged as 3.
    EXPECT_EQ(static_cast<unsigned char>(idat[1]) >> 6, 3);
    const std::string rows = inflateAll(idat);
    const std::size_t stride = 700 * 3;
    ASSERT_EQ(rows.size(), 400 * (stride + 1));
    for (std::size_t y = 0; y < 400; ++y) {
        const char* row = rows.data() + y * (stride + 1);
        ASSERT_EQ(row[0], 1) << "row " << y << " is not Sub-filtered";
        // Undo the Sub filter and compare with the source.
        for (std::size_t x = 0; x < stride; ++x) {
            const unsigned left = x >= 3 ? bitmap.rgb[y * stride + x - 3] : 0;
            const auto value = static_cast<std::uint8_t>(static_cast<unsigned char>(row[1 + x]) + left);
            ASSERT_EQ(value, bitmap.rgb[y * stride + x]) << "pixel byte " << x << " of row " << y;
        }
    }
}

TEST(ImageCodecs, JpegIsBaselineAndDecodesToAClosePicture)
{
    const Bitmap bitmap = screenLike(321, 123);
    const std::string jpeg = EncodeJpeg(bitmap, 90);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_NE(jpeg.find("\xFF\xC0"), std::string::npos); // baseline frame
    EXPECT_EQ(jpeg.find("\xFF\xC2"), std::string::npos); // no progressive frame
    const Bitmap decoded = DecodeJpeg(jpeg);
    ASSERT_EQ(decoded.width, 321);
    ASSERT_EQ(decoded.height, 123);
    double error = 0;
    for (std::size_t i = 0; i < bitmap.rgb.size(); ++i)
        error += std::abs(int(bitmap.rgb[i]) - int(decoded.rgb[i]));
    EXPECT_LT(error / bitmap.rgb.size(), 8.0);
}

TEST(ImageCodecs, DamagedJpegGivesAnErrorNotACrash)
{
    const std::string jpeg = EncodeJpeg(screenLike(64, 64), 90);
    std::string hugeFrame = jpeg;
    const std::size_t sof = hugeFrame.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    hugeFrame[sof + 5] = hugeFrame[sof + 6] = hugeFrame[sof + 7] = hugeFrame[sof + 8] = '\xFF';
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"not a JPEG", "this is not a picture at all"},
        {"header only", jpeg.substr(0, 20)},
        {"no image data", jpeg.substr(0, sof)},
        {"too many pixels", hugeFrame},
        {"cut inside the image data", jpeg.substr(0, jpeg.size() / 2)},
        {"cut before the end marker", jpeg.substr(0, jpeg.size() - 2)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(DecodeJpeg(bytes, 1'000'000), Error);
    }
    EXPECT_THROW(EncodeJpeg(Bitmap{10, 10, std::vector<std::uint8_t>(5)}, 90), Error);
    EXPECT_THROW(EncodePng(Bitmap{0, 10, {}}), Error);
}

} // namespace
} // namespace tern
