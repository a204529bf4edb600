#pragma once

#include "notify/BalloonKind.h"

#include <QImage>
#include <QPixmap>
#include <QString>

namespace tern {

// The bitmap resource of an icon kind: "INFO", "ERROR" or "WARNING"; any other value "INFO".
QString BalloonBitmapName(BalloonKind kind);

// The 16x16 24-bit picture named `name` ("INFO" for an unknown name). Its bottom-left pixel holds
// the colour that stands for transparency; the pictures are drawn once, on first use.
QImage BalloonBitmap(const QString& name);

// `bitmap` with every pixel of its bottom-left pixel's colour made transparent.
QPixmap WithBottomLeftTransparent(const QImage& bitmap);

} // namespace tern
