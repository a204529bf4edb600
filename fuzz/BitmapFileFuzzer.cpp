#include "clipboard/BitmapFile.h"
#include "util/Errors.h"

#include <cstddef>
#include <cstdint>

// Input: the bytes of a picture file left in the data folder. A picture that reads must survive a
// write and a second read unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    try {
        const tern::platform::Bitmap bitmap = tern::DecodeBmp(file);
        if (tern::DecodeBmp(tern::EncodeBmp(bitmap)).rgb != bitmap.rgb)
            __builtin_trap();
    } catch (const tern::Error&) {
    }
    return 0;
}
