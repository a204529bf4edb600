#pragma once

#include "platform/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tern {

// PNG settings of the share payload; the level is on zlib's scale, as the stream's header states it.
inline constexpr int kPngDeflateLevel = 7;
inline constexpr std::size_t kPngMaxIdatSize = 65535;
inline constexpr std::size_t kPngNoLimit = SIZE_MAX;

// A PNG file of `bitmap`: 8-bit RGB, no interlacing, the Sub filter on every row, deflate at level 7,
// image data in chunks of at most 65,535 bytes. An empty string when the file would be longer than
// `maxSize`: the encoding then stops as soon as that is certain. Throws tern::Error when the bitmap is
// empty or inconsistent; std::bad_alloc when memory runs out.
std::string EncodePng(const platform::Bitmap& bitmap, std::size_t maxSize = kPngNoLimit);

} // namespace tern
