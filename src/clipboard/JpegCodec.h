#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tern {

// Largest picture DecodeJpeg accepts, in pixels: bounds the memory a downloaded file can demand.
inline constexpr std::uint64_t kMaxDecodedPixels = 100'000'000;

// A complete baseline JPEG file (colour, 4:2:0, standard tables) of `bitmap` at `quality` (1..100).
// Throws tern::Error when the bitmap is empty or inconsistent or the encoder fails.
std::string EncodeJpeg(const platform::Bitmap& bitmap, int quality);

// Decodes a JPEG file into RGB. Damaged or foreign data, or a picture of more than `maxPixels`
// pixels, gives tern::Error; the decoder never ends the process. Recoverable damage that the decoder
// reports as a warning (a file cut short) still gives a picture, as other viewers show it.
platform::Bitmap DecodeJpeg(std::string_view file, std::uint64_t maxPixels = kMaxDecodedPixels);

} // namespace tern
