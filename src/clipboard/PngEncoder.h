#pragma once

#include "platform/Bitmap.h"

#include <string>

namespace tern {

// PNG settings of the share payload.
inline constexpr int kPngDeflateLevel = 7;
inline constexpr std::size_t kPngMaxIdatSize = 65535;

// A PNG file of `bitmap`: 8-bit RGB, no interlacing, the Sub filter on every row, deflate at level 7,
// image data in chunks of at most 65,535 bytes. Throws tern::Error when the bitmap is empty or
// inconsistent or the encoder fails.
std::string EncodePng(const platform::Bitmap& bitmap);

} // namespace tern
