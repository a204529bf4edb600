#include "ui/AboutLogo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace tern {

namespace {

// One size of the logo; proportions follow the 32-pixel tray icon so both read as the same mark.
QPixmap logoImage(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 32.0;
    QLinearGradient shade(0, 0, 0, size);
    shade.setColorAt(0, QColor(58, 118, 200));
    shade.setColorAt(1, QColor(30, 78, 150));
    painter.setBrush(shade);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(unit, unit, size - 2 * unit, size - 2 * unit), 7 * unit, 7 * unit);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8 * unit, 7 * unit, 16 * unit, 4 * unit));
    painter.drawRect(QRectF(14 * unit, 7 * unit, 4 * unit, 18 * unit));
    return pixmap;
}

} // namespace

QIcon AboutLogo()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addPixmap(logoImage(size));
    return icon;
}

} // namespace tern
