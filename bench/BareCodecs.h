#pragma once

#include "platform/Bitmap.h"

#include <string>

namespace tern::bench {

// The encoders called directly, with the share settings and no error handling of ours.
std::string BareJpeg(const platform::Bitmap& bitmap, int quality);
std::string BarePng(const platform::Bitmap& bitmap);
// Decodes a JPEG file to RGB; the number of pixel bytes, 0 when the library reports a failure.
std::size_t BareJpegDecode(const std::string& file);

} // namespace tern::bench
