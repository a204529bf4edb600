#include "BenchData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace tern::bench {

namespace {

struct Random
{
    std::uint32_t state;
    std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
};

double unit(Random& random)
{
    return random.next() / 4294967296.0;
}

// Prose over a vocabulary of a few thousand made-up words used with a skewed frequency, in sentences
// and paragraphs: zlib at level 5 compresses it about 2.5 : 1, as it does real prose.
std::string prose(std::size_t size, Random& random)
{
    static const std::vector<std::string> vocabulary = [] {
        static constexpr std::array<const char*, 23> kConsonants = {
            "b", "c", "d", "f", "g",  "h",  "k",  "l",  "m",  "n",  "p", "r",
            "s", "t", "v", "w", "st", "th", "ch", "sh", "br", "tr", "pl"};
        static constexpr std::array<const char*, 9> kVowels = {"a",  "e",  "i",  "o", "u",
                                                               "ea", "ou", "ai", "io"};
        static constexpr std::array<const char*, 7> kEndings = {"", "", "n", "s", "t", "r", "d"};
        static constexpr std::array<int, 8> kSyllables = {1, 1, 2, 2, 2, 3, 3, 4};
        Random words{4242};
        std::vector<std::string> result;
        for (int i = 0; i < 6000; ++i) {
            std::string word;
            for (int s = kSyllables[words.next() >> 29]; s > 0; --s) {
                word += kConsonants[(words.next() >> 8) % kConsonants.size()];
                word += kVowels[(words.next() >> 8) % kVowels.size()];
            }
            word += kEndings[(words.next() >> 8) % kEndings.size()];
            result.push_back(word);
        }
        return result;
    }();
    std::string text;
    text.reserve(size + 32);
    bool sentenceStart = true;
    while (text.size() < size) {
        std::string word =
            vocabulary[static_cast<std::size_t>(vocabulary.size() * std::pow(unit(random), 2.2))];
        if (sentenceStart)
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        const double pause = unit(random);
        sentenceStart = pause < 0.06;
        text += word;
        text += pause < 0.006 ? ".\r\n\r\n" : pause < 0.06 ? ". " : pause < 0.12 ? ", " : " ";
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
    // A photo as wallpaper: gradients, soft shapes and grain. It makes JPEG the shorter share encoding,
    // as it is for most real screenshots.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double shape =
                30.0 * std::sin(x / 37.0) * std::cos(y / 23.0) + 20.0 * std::sin((x + y) / 91.0);
            const int grain = static_cast<int>(random.next() >> 27);
            auto channel = [&](int base) {
                return static_cast<std::uint8_t>(std::clamp(base + static_cast<int>(shape) + grain, 0, 255));
            };
            put(x, y, channel(20 + 60 * y / height), channel(60 + 80 * x / width),
                channel(120 + 100 * y / height));
        }
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

std::string Prose(std::size_t size, std::uint32_t seed)
{
    Random random{seed};
    return prose(size, random);
}

platform::Bitmap FlatPicture(int width, int height)
{
    // A diagram: white, a few boxes of flat colour with dark borders and lines between them.
    platform::Bitmap bitmap{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3, 255)};
    auto fill = [&bitmap](int left, int top, int right, int bottom, std::uint8_t r, std::uint8_t g,
                          std::uint8_t b) {
        for (int y = std::max(top, 0); y < std::min(bottom, bitmap.height); ++y)
            for (int x = std::max(left, 0); x < std::min(right, bitmap.width); ++x) {
                std::uint8_t* pixel = bitmap.rgb.data() + (std::size_t(y) * bitmap.width + x) * 3;
                pixel[0] = r;
                pixel[1] = g;
                pixel[2] = b;
            }
    };
    static constexpr std::array<std::array<std::uint8_t, 3>, 4> kColours = {
        {{{200, 220, 250}}, {{250, 230, 180}}, {{210, 240, 210}}, {{240, 200, 200}}}};
    int index = 0;
    for (int top = 40; top + 120 < height; top += 200)
        for (int left = 40; left + 220 < width; left += 300) {
            const auto& colour = kColours[index++ % kColours.size()];
            fill(left - 2, top - 2, left + 222, top + 122, 40, 40, 60);
            fill(left, top, left + 220, top + 120, colour[0], colour[1], colour[2]);
            fill(left + 222, top + 59, left + 300, top + 61, 40, 40, 60);
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
