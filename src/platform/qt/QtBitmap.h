#pragma once

#include "platform/Bitmap.h"

#include <QImage>

namespace tern::platform::qt {

// The picture as a Qt image (RGB888). Throws tern::Error for an empty picture, one whose pixel bytes
// do not match its size, or one larger than Qt can hold.
QImage ImageFromBitmap(const Bitmap& bitmap);

// The RGB picture of a Qt image of any format. A picture with transparency is laid on white: the
// colour under a transparent pixel is undefined and would otherwise show through.
Bitmap BitmapFromImage(const QImage& picture);

} // namespace tern::platform::qt
