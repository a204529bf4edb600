#include "clipboard/ShareConversion.h"

#include "clipboard/JpegCodec.h"
#include "clipboard/PngEncoder.h"
#include "util/TextEncoding.h"

#include <cstdint>
#include <future>

namespace tern {

std::string ShareTextFromUtf16(std::string_view block)
{
    std::u16string units;
    units.reserve(block.size() / 2);
    bool terminated = false;
    for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(block[i]) |
                                                static_cast<unsigned char>(block[i + 1]) << 8);
        if (unit == 0) {
            terminated = true;
            break;
        }
        units += unit;
    }
    std::string text = Utf8FromUtf16(units);
    if (terminated)
        text += '\0';
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
