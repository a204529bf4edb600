#pragma once

#include "platform/Bitmap.h"

#include <cstdint>

namespace tern::test {

// A picture whose channel bytes all differ from their neighbours, so that a swapped, shifted or lost
// byte shows in a comparison.
inline platform::Bitmap NumberedBitmap(int width, int height)
{
    platform::Bitmap bitmap{width, height, {}};
    for (int i = 0; i < width * height * 3; ++i)
        bitmap.rgb.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return bitmap;
}

} // namespace tern::test
