#include "notify/BalloonIcons.h"

#include <QBitmap>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <map>

namespace tern {
namespace {

constexpr int kSize = 16;
// The colour key of the pictures, and the balloon background their antialiased edges are blended on.
const QColor kKeyColour(255, 0, 255);
const QColor kBlendBackground(252, 252, 252);

void DrawGlyph(QPainter& painter, const QString& glyph, const QColor& colour, const QRectF& box)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, glyph);
}

void DrawInfo(QPainter& painter)
{
    painter.setPen(QPen(QColor(20, 70, 160), 1));
    painter.setBrush(QColor(50, 110, 210));
    painter.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(6.5, 3, 2.2, 2.2));
    painter.drawRect(QRectF(6.6, 6.5, 2, 5.5));
}

void DrawError(QPainter& painter)
{
    painter.setPen(QPen(QColor(150, 20, 20), 1));
    painter.setBrush(QColor(215, 40, 40));
    painter.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    QPen cross(Qt::white, 2.0);
    cross.setCapStyle(Qt::RoundCap);
    painter.setPen(cross);
    painter.drawLine(QPointF(5, 5), QPointF(10, 10));
    painter.drawLine(QPointF(10, 5), QPointF(5, 10));
}

void DrawWarning(QPainter& painter)
{
    QPainterPath triangle;
    triangle.moveTo(7.5, 0.8);
    triangle.lineTo(14.8, 14.2);
    triangle.lineTo(0.2, 14.2);
    triangle.closeSubpath();
    painter.setPen(QPen(QColor(150, 110, 0), 1));
    painter.setBrush(QColor(250, 200, 30));
    painter.drawPath(triangle);
    DrawGlyph(painter, QStringLiteral("!"), Qt::black, QRectF(0, 3, 15, 11));
}

QImage DrawBitmap(const QString& name)
{
    QImage argb(kSize, kSize, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    {
        QPainter painter(&argb);
        painter.setRenderHint(QPainter::Antialiasing);
        if (name == QLatin1String("ERROR"))
            DrawError(painter);
        else if (name == QLatin1String("WARNING"))
            DrawWarning(painter);
        else
            DrawInfo(painter);
    }
    // Flatten to 24 bits: untouched pixels take the key colour, edges are blended on the background.
    QImage bitmap(kSize, kSize, QImage::Format_RGB888);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const QColor c = argb.pixelColor(x, y);
            if (c.alpha() == 0) {
                bitmap.setPixelColor(x, y, kKeyColour);
                continue;
            }
            const double a = c.alphaF();
            const auto mix = [a](int fg, int bg) {
                return static_cast<int>(std::lround(fg * a + bg * (1.0 - a)));
            };
            bitmap.setPixelColor(x, y,
                                 QColor(mix(c.red(), kBlendBackground.red()),
                                        mix(c.green(), kBlendBackground.green()),
                                        mix(c.blue(), kBlendBackground.blue())));
        }
    }
    // The transparent colour is read from the bottom-left pixel, which every picture leaves blank.
    bitmap.setPixelColor(0, kSize - 1, kKeyColour);
    return bitmap;
}

} // namespace

QString BalloonBitmapName(BalloonKind kind)
{
    switch (kind) {
    case BalloonKind::Error:
        return QStringLiteral("ERROR");
    case BalloonKind::Warning:
        return QStringLiteral("WARNING");
    case BalloonKind::Information:
        break;
    }
    return QStringLiteral("INFO");
}

QImage BalloonBitmap(const QString& name)
{
    static std::map<QString, QImage> cache;
    const QString known =
        (name == QLatin1String("ERROR") || name == QLatin1String("WARNING")) ? name : QStringLiteral("INFO");
    auto it = cache.find(known);
    if (it == cache.end())
        it = cache.emplace(known, DrawBitmap(known)).first;
    return it->second;
}

QPixmap WithBottomLeftTransparent(const QImage& bitmap)
{
    QPixmap pixmap = QPixmap::fromImage(bitmap);
    if (bitmap.isNull())
        return pixmap;
    const QRgb key = bitmap.pixel(0, bitmap.height() - 1);
    pixmap.setMask(QBitmap::fromImage(bitmap.createMaskFromColor(key, Qt::MaskInColor)));
    return pixmap;
}

} // namespace tern
