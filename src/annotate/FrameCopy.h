#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace tern {

// Copies the client area `area` onto the painter's device from `source`, whose pixel (0, 0) lies at
// client point `origin`; parts outside the source are left alone. Unchanged, or darkened as black
// at alpha 28 laid over it would darken it (about 11 %). A plain pass over rows when the device is
// an image of 32-bit pixels without scaling (a window's backing store, a buffer): drawing through
// the painter would make the raster engine split the work across worker threads, which costs more
// than the copy on a busy machine. `source` holds 32-bit RGB pixels, or for the plain copy also
// 24-bit ones in B, G, R byte order.
void CopyPixels(QPainter& painter, const QImage& source, QPoint origin, const QRect& area);
void CopyDimmedPixels(QPainter& painter, const QImage& source, QPoint origin, const QRect& area);

// One opaque pixel as CopyDimmedPixels shows it.
QRgb DimmedPixel(QRgb pixel);

} // namespace tern
