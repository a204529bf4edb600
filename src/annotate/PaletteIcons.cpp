#include "annotate/PaletteIcons.h"

#include "annotate/PaintGeometry.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace tern {

namespace {

// Every picture is drawn on a 32-unit grid and scaled to the requested size, so the tool icons
// (32 px) and the option icons (20 px) share their proportions.
constexpr double kGrid = 32.0;

const QColor kInk(44, 58, 74);
const QColor kCaretRed(200, 0, 0, 200);

QPen inkPen(double width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// An open arrow head at `tip`, pointing along the angle `radians`, with strokes `length` long.
void drawArrowHead(QPainter& painter, QPointF tip, double radians, double length)
{
    constexpr double kSpread = 0.52; // about 30 degrees each side
    const QPointF left(tip.x() - length * std::cos(radians - kSpread),
                       tip.y() - length * std::sin(radians - kSpread));
    const QPointF right(tip.x() - length * std::cos(radians + kSpread),
                        tip.y() - length * std::sin(radians + kSpread));
    painter.drawPolyline(QPolygonF{left, tip, right});
}

void drawFreehand(QPainter& painter)
{
    painter.setPen(inkPen(2.6));
    QPainterPath path(QPointF(5, 22));
    path.cubicTo(QPointF(8, 8), QPointF(13, 8), QPointF(16, 16));
    path.cubicTo(QPointF(19, 24), QPointF(24, 24), QPointF(27, 10));
    painter.drawPath(path);
}

void drawText(QPainter& painter)
{
    painter.setPen(QPen(kInk, 3.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawLine(QPointF(7, 7.8), QPointF(23, 7.8));
    painter.drawLine(QPointF(15, 7.8), QPointF(15, 26));
    // The caret that follows typed text.
    painter.setPen(QPen(kCaretRed, 1.6, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(25.5, 14), QPointF(25.5, 26));
}

void drawLine(QPainter& painter)
{
    painter.setPen(inkPen(3));
    painter.drawLine(QPointF(6.5, 25.5), QPointF(25.5, 6.5));
}

void drawRect(QPainter& painter)
{
    painter.setPen(inkPen(2.6));
    painter.drawRect(QRectF(5.5, 8.5, 21, 15));
}

void drawArrow(QPainter& painter)
{
    painter.setPen(inkPen(2.6));
    const QPointF tail(6.5, 25.5);
    const QPointF tip(25, 7);
    painter.drawLine(tail, tip);
    drawArrowHead(painter, tip, std::atan2(tip.y() - tail.y(), tip.x() - tail.x()), 9);
}

void drawEllipse(QPainter& painter)
{
    painter.setPen(inkPen(2.6));
    painter.drawEllipse(QRectF(4.5, 8.5, 23, 15));
}

// Four arrows out of one centre: the selection itself is adjusted and moved.
void drawMove(QPainter& painter)
{
    painter.setPen(inkPen(2.4));
    const QPointF centre(16, 16);
    constexpr double kReach = 11;
    constexpr double kHead = 4.5;
    painter.drawLine(QPointF(centre.x() - kReach, centre.y()), QPointF(centre.x() + kReach, centre.y()));
    painter.drawLine(QPointF(centre.x(), centre.y() - kReach), QPointF(centre.x(), centre.y() + kReach));
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double angle = quarter * M_PI / 2;
        const QPointF tip(centre.x() + kReach * std::cos(angle), centre.y() + kReach * std::sin(angle));
        drawArrowHead(painter, tip, angle, kHead);
    }
}

void drawUndo(QPainter& painter)
{
    painter.setPen(inkPen(2.6));
    painter.setBrush(Qt::NoBrush);
    // A turn from the lower right over the top, ending in a head that points back to the left.
    QPainterPath path(QPointF(21, 25));
    path.cubicTo(QPointF(29, 21), QPointF(28, 9), QPointF(18, 9));
    path.lineTo(QPointF(8, 9));
    painter.drawPath(path);
    drawArrowHead(painter, QPointF(7, 9), M_PI, 7);
}

// The annotation colour of `index`, opaque: the swatch shows the hue, not the slight translucency.
QColor swatchColour(int index)
{
    QColor colour = QColor::fromRgba(kPaletteColors[index]);
    colour.setAlpha(255);
    return colour;
}

void drawSwatch(QPainter& painter, QColor colour)
{
    painter.setPen(QPen(colour.darker(150), 1.6));
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(16, 16), 10.5, 10.5);
}

// A horizontal stroke as wide, relative to the 20-pixel option icon, as the pen it stands for.
void drawWidth(QPainter& painter, double penPixels)
{
    painter.setPen(QPen(kInk, penPixels * kGrid / 20.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 16), QPointF(24, 16));
}

// A capital A on a common baseline, `height` grid units tall.
void drawLetter(QPainter& painter, double height)
{
    const double baseline = 27;
    const double halfWidth = height * 0.42;
    const QPointF apex(16, baseline - height);
    painter.setPen(QPen(kInk, 1.5 + height / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(
        QPolygonF{QPointF(16 - halfWidth, baseline), apex, QPointF(16 + halfWidth, baseline)});
    // The bar meets both legs at a third of the height.
    constexpr double kBarFromBase = 0.34;
    const double barY = baseline - height * kBarFromBase;
    const double barHalf = halfWidth * (1.0 - kBarFromBase);
    painter.drawLine(QPointF(16 - barHalf, barY), QPointF(16 + barHalf, barY));
}

void drawOk(QPainter& painter)
{
    painter.setPen(QPen(QColor(46, 140, 60), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF{QPointF(7, 17), QPointF(13.5, 23.5), QPointF(25, 9)});
}

using Painter = std::function<void(QPainter&)>;

const QHash<QString, Painter>& painters()
{
    static const QHash<QString, Painter> table{
        {QStringLiteral("BTN_DRAW"), drawFreehand},
        {QStringLiteral("BTN_TEXT"), drawText},
        {QStringLiteral("BTN_LINE"), drawLine},
        {QStringLiteral("BTN_RECT"), drawRect},
        {QStringLiteral("BTN_ARROW"), drawArrow},
        {QStringLiteral("BTN_ELLIPSE"), drawEllipse},
        {QStringLiteral("BTN_MOVE"), drawMove},
        {QStringLiteral("BTN_UNDO"), drawUndo},
        {QStringLiteral("BTN_RED"), [](QPainter& p) { drawSwatch(p, swatchColour(0)); }},
        {QStringLiteral("BTN_GREEN"), [](QPainter& p) { drawSwatch(p, swatchColour(1)); }},
        {QStringLiteral("BTN_BLUE"), [](QPainter& p) { drawSwatch(p, swatchColour(2)); }},
        {QStringLiteral("BTN_LINE1"), [](QPainter& p) { drawWidth(p, 2); }},
        {QStringLiteral("BTN_LINE2"), [](QPainter& p) { drawWidth(p, 5); }},
        {QStringLiteral("BTN_LINE3"), [](QPainter& p) { drawWidth(p, 8); }},
        {QStringLiteral("BTN_FONT1"), [](QPainter& p) { drawLetter(p, 11); }},
        {QStringLiteral("BTN_FONT2"), [](QPainter& p) { drawLetter(p, 16); }},
        {QStringLiteral("BTN_FONT3"), [](QPainter& p) { drawLetter(p, 22); }},
        {QStringLiteral("BTN_OK"), drawOk},
    };
    return table;
}

} // namespace

QPixmap PaletteIcon(const QString& name, int size)
{
    constexpr int kSmallest = 8;
    const auto painter = painters().constFind(name);
    if (painter == painters().cend() || size < kSmallest)
        return {};
    static QHash<QString, QPixmap> cache;
    const QString key = name + QLatin1Char('@') + QString::number(size);
    if (const auto cached = cache.constFind(key); cached != cache.cend())
        return *cached;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / kGrid, size / kGrid);
        (*painter)(p);
    }
    cache.insert(key, pixmap);
    return pixmap;
}

} // namespace tern
