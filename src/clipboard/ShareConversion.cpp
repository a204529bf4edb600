#include "clipboard/ShareConversion.h"

#include "clipboard/JpegCodec.h"
#include "clipboard/PngEncoder.h"
#include "util/TextEncoding.h"

#include <cstdint>
#include <future>

namespace tern {

std::string ShareTextFromUtf16(std::string_view block)
{
    const std::size_t units = block.size() / 2;
    auto unitAt = [&block](std::size_t index) {
        return static_cast<char16_t>(static_cast<unsigned char>(block[2 * index]) |
                                     static_cast<unsigned char>(block[2 * index + 1]) << 8);
    };
    std::string text;
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (unit == 0) {
            text += '\0';
            break;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(text, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{low} - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(text, unit >= 0xD800 && unit <= 0xDFFF ? char32_t{0xFFFD} : char32_t{unit});
    }
    return text;
}

int AppendShareImage(const platform::Bitmap& bitmap, std::string& out)
{
    // The two encoders are independent; the PNG one (the slower) runs on its own thread.
    std::future<std::string> png = std::async(std::launch::async, [&bitmap] { return EncodePng(bitmap); });
    std::string jpeg;
    try {
        jpeg = EncodeJpeg(bitmap, kShareJpegQuality);
    } catch (...) {
        png.wait();
        throw;
    }
    return AppendShorterImage(jpeg, png.get(), out);
}

int AppendShorterImage(const std::string& jpeg, const std::string& png, std::string& out)
{
    if (jpeg.size() < png.size()) {
        out += jpeg;
        return kShareJpeg;
    }
    out += png;
    return kSharePng;
}

} // namespace tern
