#pragma once

#include "platform/Bitmap.h"

#include <optional>
#include <string_view>

namespace tern::tool {

// The picture of a PNG, JPEG or BMP file (told apart by their first bytes); nothing when the bytes
// are none of these. A damaged file, an unsupported BMP variant or a picture too large throws
// tern::Error.
std::optional<platform::Bitmap> DecodeImageFile(std::string_view bytes);

} // namespace tern::tool
