#pragma once

#include "platform/Bitmap.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tern {

// Largest picture DecodeJpeg accepts, in pixels: bounds the memory a downloaded file can demand.
inline constexpr std::uint64_t kMaxDecodedPixels = 100'000'000;

// A complete baseline JPEG file (colour, 4:2:0, standard tables) of `bitmap` at `quality` (1..100).
// With `giveUpAt`, the encoding stops and gives an empty string as soon as its output reaches the size
// that value holds at that moment (another thread may lower it while the encoding runs). Throws
// tern::Error when the bitmap is empty or inconsistent or the encoder fails.
std::string EncodeJpeg(const platform::Bitmap& bitmap, int quality,
                       const std::atomic<std::size_t>* giveUpAt = nullptr);

// Largest working memory of the decoder itself (tables, row buffers, a progressive file's coefficients).
inline constexpr std::uint64_t kMaxJpegWorkingBytes = std::uint64_t{1} << 30;

// Decodes a JPEG file into RGB. Damaged or foreign data, a file cut short, a picture of more than
// `maxPixels` pixels (checked from the header, before any pixel is allocated), or one whose decoding
// needs more than `maxWorkingBytes` of the decoder's own memory gives tern::Error; the decoder never
// ends the process.
platform::Bitmap DecodeJpeg(std::string_view file, std::uint64_t maxPixels = kMaxDecodedPixels,
                            std::uint64_t maxWorkingBytes = kMaxJpegWorkingBytes);

} // namespace tern
