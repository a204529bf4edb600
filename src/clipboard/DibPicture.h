#pragma once

#include "platform/Bitmap.h"

#include <optional>
#include <string>
#include <string_view>

namespace tern {

// The Windows clipboard's device-independent bitmap (CF_DIB, CF_DIBV5): a bitmap information header,
// colour masks or a palette where the header asks for them, then the pixel rows, each padded to four
// bytes, bottom-up unless the height is negative.

// The picture of DIB data: 1-, 4- and 8-bit palette pictures, 16- and 32-bit pictures with or without
// colour masks and 24-bit pictures; alpha is dropped. Reads untrusted bytes: nothing for a compressed
// or foreign header, an impossible size or pixel rows that the data does not hold.
std::optional<platform::Bitmap> BitmapFromDib(std::string_view dib);

// DIB data of `bitmap` as 24-bit rows, bottom-up. Throws Error for an empty picture.
std::string DibFromBitmap(const platform::Bitmap& bitmap);

} // namespace tern
