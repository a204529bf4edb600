#include "platform/qt/QtBitmap.h"

#include "util/Errors.h"

#include <QPainter>

#include <cstring>

namespace tern::platform::qt {

QImage ImageFromBitmap(const Bitmap& bitmap)
{
    constexpr int kMaxSide = 65535;
    if (bitmap.empty() || bitmap.width > kMaxSide || bitmap.height > kMaxSide)
        throw Error("Invalid bitmap");
    const std::size_t stride = static_cast<std::size_t>(bitmap.width) * 3;
    if (bitmap.rgb.size() != stride * static_cast<std::size_t>(bitmap.height))
        throw Error("Invalid bitmap");
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB888);
    if (image.isNull())
        throw Error("Not enough memory for the bitmap");
    for (int y = 0; y < bitmap.height; ++y)
        std::memcpy(image.scanLine(y), bitmap.rgb.data() + stride * static_cast<std::size_t>(y), stride);
    return image;
}

Bitmap BitmapFromImage(const QImage& picture)
{
    QImage image;
    if (picture.hasAlphaChannel()) {
        image = QImage(picture.size(), QImage::Format_RGB888);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawImage(0, 0, picture);
    } else {
        image = picture.convertToFormat(QImage::Format_RGB888);
    }
    Bitmap bitmap;
    bitmap.width = image.width();
    bitmap.height = image.height();
    const std::size_t stride = static_cast<std::size_t>(bitmap.width) * 3;
    bitmap.rgb.resize(stride * static_cast<std::size_t>(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y)
        std::memcpy(bitmap.rgb.data() + stride * static_cast<std::size_t>(y), image.constScanLine(y), stride);
    return bitmap;
}

} // namespace tern::platform::qt
