#include "shell/TrayIcons.h"

#include "ui/AboutLogo.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace tern {

namespace {

constexpr int kSize = 32;
const QColor kBlue(38, 92, 170);

QPixmap blank()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The product's mark and, while uploading, a dot that circles the corner.
QIcon trayFrame(int frame)
{
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(0, 0, ProductLogo().pixmap(kSize, kSize));
    painter.setPen(Qt::NoPen);
    if (frame > 0) {
        const double angle = (frame - 1) * 2 * M_PI / 5;
        painter.setBrush(QColor(255, 200, 40));
        painter.drawEllipse(QPointF(16 + 10 * std::cos(angle), 16 + 10 * std::sin(angle)), 3.5, 3.5);
    }
    return QIcon(pixmap);
}

QIcon menuIcon(int index)
{
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (index) {
    case 1:   // upload: arrow up out of a tray
    case 2: { // download: arrow down into a tray
        painter.drawPolyline(QPolygonF({QPointF(5, 20), QPointF(5, 27), QPointF(27, 27), QPointF(27, 20)}));
        const bool up = index == 1;
        painter.drawLine(QPointF(16, 4), QPointF(16, 21));
        const double tip = up ? 4 : 21;
        const double back = up ? 11 : 14;
        painter.drawPolyline(QPolygonF({QPointF(10, back), QPointF(16, tip), QPointF(22, back)}));
        break;
    }
    case 3: // clipboard
        painter.drawRoundedRect(QRectF(7, 6, 18, 22), 2, 2);
        painter.drawLine(QPointF(12, 5), QPointF(20, 5));
        painter.drawLine(QPointF(11, 14), QPointF(21, 14));
        painter.drawLine(QPointF(11, 20), QPointF(19, 20));
        break;
    case 4: // screen
        painter.drawRect(QRectF(4, 6, 24, 16));
        painter.drawLine(QPointF(16, 22), QPointF(16, 27));
        painter.drawLine(QPointF(10, 27), QPointF(22, 27));
        break;
    case 5: // window
        painter.drawRect(QRectF(5, 7, 22, 18));
        painter.drawLine(QPointF(5, 12), QPointF(27, 12));
        break;
    case 6: // area with a pen
        painter.setPen(QPen(kBlue, 2, Qt::DashLine));
        painter.drawRect(QRectF(4, 4, 18, 18));
        painter.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(16, 26), QPointF(27, 15));
        break;
    default:
        break;
    }
    return QIcon(pixmap);
}

} // namespace

QList<QIcon> TrayIcons::trayFrames()
{
    QList<QIcon> frames;
    for (int frame = 0; frame < kAnimationFrames; ++frame)
        frames.append(trayFrame(frame));
    return frames;
}

QList<QIcon> TrayIcons::menuIcons()
{
    QList<QIcon> icons;
    for (int index = 0; index < 7; ++index)
        icons.append(menuIcon(index));
    return icons;
}

} // namespace tern
