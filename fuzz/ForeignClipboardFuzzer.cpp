#include "clipboard/DibPicture.h"
#include "clipboard/FileDropList.h"

#include <cstddef>
#include <cstdint>

// Input: a picture (DIB) or a file drop list from a Windows clipboard, the first byte choosing which.
// A picture that reads has as many pixels as its size says and survives a write and a second read; a
// drop list's paths survive a write and a second read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        if (const auto bitmap = tern::BitmapFromDib(input)) {
            if (bitmap->rgb.size() != static_cast<std::size_t>(bitmap->width) * bitmap->height * 3 ||
                tern::BitmapFromDib(tern::DibFromBitmap(*bitmap))->rgb != bitmap->rgb)
                __builtin_trap();
        }
    } else {
        const std::vector<std::string> paths = tern::DecodeDropFiles(input);
        if (tern::DecodeDropFiles(tern::EncodeDropFiles(paths)) != paths)
            __builtin_trap();
    }
    return 0;
}
