#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tern {

// Windows bitmap files (".bmp"): what the program keeps of a captured picture until its share has
// succeeded. Written as 24-bit uncompressed rows, bottom-up; read back from 24- or 32-bit
// uncompressed files in either row order.

// The largest picture accepted from a file or another system's clipboard: bigger than any desktop of
// several 8K monitors, small enough that a forged header cannot make the program allocate gigabytes.
inline constexpr std::int64_t kMaxBitmapSide = 65535;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 28;

// The file bytes of `bitmap`. Throws Error for an empty picture.
std::string EncodeBmp(const platform::Bitmap& bitmap);

// The picture in `file`. Every length and size is checked against the bytes present before anything
// is allocated; a truncated, foreign or absurdly large file throws StreamReadError.
platform::Bitmap DecodeBmp(std::string_view file);

// Writes the file atomically, readable by its owner only. Throws FileError.
void SaveBitmapFile(const std::string& path, const platform::Bitmap& bitmap);

// Reads the file. Throws FileError when it cannot be read, StreamReadError when it is not a picture
// this program wrote.
platform::Bitmap LoadBitmapFile(const std::string& path);

} // namespace tern
