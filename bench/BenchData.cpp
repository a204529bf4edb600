#include "BenchData.h"

#include <array>
#include <cstdint>

namespace tern::bench {

namespace {

struct Random
{
    std::uint32_t state;
    std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
};

std::string prose(std::size_t size, Random& random)
{
    static constexpr std::array<const char*, 24> kWords = {
        "the",  "clipboard", "of",     "one",  "computer",   "moves",    "to",       "another",
        "and",  "every",     "format", "is",   "compressed", "before",   "it",       "leaves",
        "with", "a",         "key",    "made", "from",       "password", "snapshot", "restored"};
    std::string text;
    while (text.size() < size) {
        text += kWords[random.next() >> 16 & 23];
        const std::uint32_t r = random.next() >> 20 & 31;
        text += r == 0 ? ".\r\n" : r < 3 ? ", " : " ";
    }
    text.resize(size);
    return text;
}

} // namespace

platform::Bitmap ScreenLike(int width, int height)
{
    platform::Bitmap bitmap{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
    Random random{12345};
    auto put = [&bitmap](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* pixel = bitmap.rgb.data() + (std::size_t(y) * bitmap.width + x) * 3;
        pixel[0] = r;
        pixel[1] = g;
        pixel[2] = b;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            put(x, y, static_cast<std::uint8_t>(20 + 60 * y / height),
                static_cast<std::uint8_t>(60 + 80 * x / width),
                static_cast<std::uint8_t>(120 + 100 * y / height));
    // Windows: frame, title bar, text lines of glyph-like strokes.
    for (int w = 0; w < 6; ++w) {
        const int left = static_cast<int>(random.next() % std::uint32_t(width * 2 / 3));
        const int top = static_cast<int>(random.next() % std::uint32_t(height * 2 / 3));
        const int right =
            std::min(width, left + width / 4 + static_cast<int>(random.next() % std::uint32_t(width / 4)));
        const int bottom =
            std::min(height, top + height / 4 + static_cast<int>(random.next() % std::uint32_t(height / 4)));
        const bool photo = w == 5;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                if (y < top + 24) {
                    put(x, y, 40, 90, 170);
                } else if (photo) {
                    const std::uint32_t n = random.next() >> 26;
                    put(x, y, static_cast<std::uint8_t>(100 + (x - left) % 90 + n),
                        static_cast<std::uint8_t>(80 + (y - top) % 70 + n),
                        static_cast<std::uint8_t>(60 + n));
                } else {
                    const int row = (y - top - 24) % 18;
                    const int column = (x - left) % 9;
                    const bool ink = row > 3 && row < 13 && column < 6 &&
                                     ((x / 9 * 31 + y / 18 * 17) % 7) != 0 &&
                                     ((column * 5 + row * 3 + x / 9) % 4) == 0;
                    if (ink)
                        put(x, y, 30, 30, 30);
                    else
                        put(x, y, 250, 250, 250);
                }
            }
    }
    return bitmap;
}

std::vector<std::string> MixedSnapshotItems(std::size_t totalSize)
{
    Random random{777};
    const std::size_t textSize = totalSize * 4 / 10;
    const std::size_t htmlSize = totalSize * 3 / 10;
    const std::size_t cropSize = totalSize - textSize - htmlSize;
    std::string html = "<html><body><!--StartFragment-->";
    while (html.size() < htmlSize) {
        html += "<p class=\"body-text\" style=\"margin:0 0 8px 0;font-family:Segoe UI\">";
        html += prose(200 + (random.next() >> 24), random);
        html +=
            "</p>\r\n<div><a href=\"https://example.com/page?id=" + std::to_string(random.next() % 100000) +
            "\">link</a></div>\r\n";
    }
    html.resize(htmlSize);
    const platform::Bitmap screen = ScreenLike(1280, 800);
    std::string crop(reinterpret_cast<const char*>(screen.rgb.data() + screen.rgb.size() / 3), cropSize);
    return {prose(textSize, random), html, crop};
}

} // namespace tern::bench
