#include "clipboard/ShareConversion.h"

#include "clipboard/JpegCodec.h"
#include "clipboard/PngEncoder.h"
#include "util/TextEncoding.h"

#include <atomic>
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
    // The two encodings run at once, the PNG one on its own thread. Each publishes its size when it
    // is done, and each stops as soon as it can no longer be the one kept: the PNG once it would be
    // longer than a finished JPEG, the JPEG once it is as long as a finished PNG.
    std::atomic<std::size_t> jpegSize{kPngNoLimit};
    std::atomic<std::size_t> pngSize{kPngNoLimit};
    std::future<std::string> pngDone = std::async(std::launch::async, [&bitmap, &jpegSize, &pngSize] {
        std::string file = EncodePng(bitmap, jpegSize.load());
        if (!file.empty())
            pngSize.store(file.size());
        return file;
    });
    std::string jpeg;
    try {
        jpeg = EncodeJpeg(bitmap, kShareJpegQuality, &pngSize);
    } catch (...) {
        pngDone.wait();
        throw;
    }
    if (!jpeg.empty())
        jpegSize.store(jpeg.size());
    const std::string png = pngDone.get();
    // At most one of them gave up, and only in favour of the other.
    if (png.empty()) {
        out += jpeg;
        return kShareJpeg;
    }
    if (jpeg.empty()) {
        out += png;
        return kSharePng;
    }
    return AppendShorterImage(jpeg, png, out);
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
