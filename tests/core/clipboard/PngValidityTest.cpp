#include "clipboard/JpegCodec.h"
#include "clipboard/PngEncoder.h"
#include "support/NumberedBitmap.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

namespace tern {
namespace {

using platform::Bitmap;

Bitmap pictureOf(int width, int height, const std::function<std::uint8_t(int x, int y, int channel)>& byte)
{
    Bitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                bitmap.rgb.push_back(byte(x, y, c));
    return bitmap;
}

std::uint8_t noiseByte(int x, int y, int c)
{
    std::uint32_t seed = static_cast<std::uint32_t>((y * 7919 + x) * 3 + c) * 2654435761u;
    seed ^= seed >> 15;
    return static_cast<std::uint8_t>(seed * 2246822519u >> 24);
}

// The picture kinds the clipboard tests use: a flat picture, a gradient, noise, numbered bytes, a
// screen-like picture, and the smallest and narrowest shapes.
std::vector<std::pair<const char*, Bitmap>> pictureKinds()
{
    return {
        {"flat", pictureOf(200, 150, [](int, int, int) { return 200; })},
        {"gradient",
         pictureOf(64, 64, [](int x, int y, int c) { return c == 0   ? x * 4
                                                            : c == 1 ? y * 4
                                                                     : 128; })},
        {"noise over several data chunks", pictureOf(300, 200, noiseByte)},
        {"numbered", test::NumberedBitmap(97, 31)},
        {"screen-like", pictureOf(700, 400,
                                  [](int x, int y, int c) {
                                      const bool window = x > 175 && y > 80 && x < 525;
                                      if (window && (y / 3) % 5 == 0 && (x * 7 / 3) % 4 != 0)
                                          return 20;
                                      return window   ? 240 + (c == 2 ? 5 : 0)
                                             : c == 0 ? x * 255 / 700
                                             : c == 1 ? y * 255 / 400
                                                      : 90;
                                  })},
        {"one pixel", pictureOf(1, 1, [](int, int, int c) { return 10 + c; })},
        {"one column", pictureOf(1, 300, noiseByte)},
        {"one row", pictureOf(5000, 1, noiseByte)},
    };
}

Bitmap decodeWithLibpng(const std::string& file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return {};
    image.format = PNG_FORMAT_RGB;
    Bitmap bitmap{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    bitmap.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bitmap.rgb.data(), 0, nullptr))
        return {};
    return bitmap;
}

TEST(PngFiles, EveryPictureKindIsAValidPngOfTheSamePixels)
{
    const test::TempFolder folder;
    for (const auto& [name, bitmap] : pictureKinds()) {
        SCOPED_TRACE(name);
        const std::string png = EncodePng(bitmap);
        const Bitmap decoded = decodeWithLibpng(png);
        EXPECT_EQ(decoded.width, bitmap.width);
        EXPECT_EQ(decoded.height, bitmap.height);
        EXPECT_TRUE(decoded.rgb == bitmap.rgb);
        if (std::string(TERN_PNGCHECK).empty())
            continue; // no pngcheck where the tests run (Windows)
        const std::string path = folder.write("picture.png", png);
        const std::string report = folder.file("report.txt");
        const int status =
            std::system((std::string(TERN_PNGCHECK) + " -v '" + path + "' >'" + report + "' 2>&1").c_str());
        std::ifstream in(report);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(status, 0) << text.str();
        EXPECT_NE(text.str().find("No errors detected"), std::string::npos) << text.str();
    }
}

// An encoding told the length it has to beat gives up exactly when it would not beat it.
TEST(PngFiles, EncodingsGiveUpOnlyWhenTheyCannotWin)
{
    const Bitmap bitmap = pictureKinds()[2].second;
    const std::string png = EncodePng(bitmap);
    EXPECT_EQ(EncodePng(bitmap, png.size()), png);
    EXPECT_TRUE(EncodePng(bitmap, png.size() - 1).empty());
    EXPECT_TRUE(EncodePng(bitmap, 10).empty());

    const std::string jpeg = EncodeJpeg(bitmap, 90);
    const std::atomic<std::size_t> beyond{jpeg.size() + 1};
    const std::atomic<std::size_t> reached{jpeg.size()};
    const std::atomic<std::size_t> early{1000};
    EXPECT_EQ(EncodeJpeg(bitmap, 90, &beyond), jpeg);
    EXPECT_TRUE(EncodeJpeg(bitmap, 90, &reached).empty());
    EXPECT_TRUE(EncodeJpeg(bitmap, 90, &early).empty());
}

} // namespace
} // namespace tern
