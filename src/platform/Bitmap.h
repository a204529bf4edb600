#pragma once

#include <cstdint>
#include <vector>

namespace tern::platform {

// A picture as 8-bit RGB triples, rows top-down without padding (stride = width * 3).
struct Bitmap
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool empty() const noexcept { return width <= 0 || height <= 0; }
};

} // namespace tern::platform
