#include "annotate/FrameOverlays.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <vector>

namespace tern {

namespace {

constexpr QRgb kOutlineHalo = 0x80FFFFFFU;
constexpr QRgb kOutlineDash = 0xC8C80000U;
constexpr QRgb kDrawingOutline = 0x64000000U;
constexpr QRgb kHandleFill = 0xFFFFFFFFU;
constexpr QRgb kHandleRing = 0xC8800000U;
constexpr QRgb kLabelColor = 0xFFB40000U;
constexpr QRgb kHintColor = 0xFFFF0000U;
constexpr int kLabelEm = 9;
constexpr int kHintEm = 20;
// How far the halos reach beyond the glyphs.
constexpr double kLabelHalo = 1.5;
constexpr double kHintHalo = 2.5;
// The widest thing around the selection's edge: a handle of 13 pixels centred one pixel off the
// corner, plus antialiasing.
constexpr int kFrameMargin = 9;

// A band `width` pixels wide centred on the edges of `edge`, filled without overlaps. Axis-aligned
// fills instead of a stroked path: the frame is redrawn with every repaint.
void FillBand(QPainter& painter, const QRect& edge, int width, QRgb color)
{
    const int half = width / 2;
    const QRect outer = QRect(edge.x() - half, edge.y() - half, edge.width() + width, edge.height() + width);
    const QRect inner = outer.adjusted(width, width, -width, -width);
    // Translucent fills of many rows are spread over worker threads by the raster engine, which
    // costs far more than a thin band's few pixels: the sides go in short pieces.
    constexpr int kRowsPerFill = 48;
    for (const QRect& part : QRegion(outer).subtracted(inner.isValid() ? QRegion(inner) : QRegion()))
        for (int y = part.top(); y <= part.bottom(); y += kRowsPerFill)
            painter.fillRect(
                QRect(part.left(), y, part.width(), std::min(kRowsPerFill, part.bottom() + 1 - y)),
                QColor::fromRgba(color));
}

// The same band dashed: dashes of three widths and gaps of one, following the edges clockwise from
// the top-left corner. Corner squares belong to the dash that passes the corner.
void DashBand(QPainter& painter, const QRect& edge, int width, QRgb color)
{
    const int half = width / 2;
    const int w = edge.width();
    const int h = edge.height();
    const int period = 4 * width;
    const int dash = 3 * width;
    const int perimeter = 2 * (w + h);
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : QRect();
    // Collected and filled in one call: a frame has a few hundred dashes.
    std::vector<QRect> dashes;
    const auto fill = [&](const QRect& r) {
        if (!r.isEmpty() && (clip.isNull() || clip.intersects(r)))
            dashes.push_back(r);
    };
    const auto inDash = [&](int position) { return position % period < dash; };
    const int left = edge.x();
    const int top = edge.y();
    const int right = left + w;
    const int bottom = top + h;
    // Corners, at their perimeter positions.
    const QPoint corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    const int cornerAt[4] = {0, w, w + h, 2 * w + h};
    for (int i = 0; i < 4; ++i)
        if (inDash(cornerAt[i]))
            fill(QRect(corners[i].x() - half, corners[i].y() - half, width, width));
    // Sides between the corner squares.
    for (int start = 0; start < perimeter; start += period) {
        const int end = start + dash;
        const auto piece = [&](int sideStart, int sideLength, auto place) {
            const int a = std::max(start, sideStart) - sideStart;
            const int b = std::min(end, sideStart + sideLength) - sideStart;
            // Keep off the corner squares at both ends of the side.
            const int from = std::max(a, half + 1);
            const int to = std::min(b, sideLength - half);
            if (from < to)
                fill(place(from, to));
        };
        piece(0, w, [&](int a, int b) { return QRect(left + a, top - half, b - a, width); });
        piece(w, h, [&](int a, int b) { return QRect(right - half, top + a, width, b - a); });
        piece(w + h, w, [&](int a, int b) { return QRect(right - b, bottom - half, b - a, width); });
        piece(2 * w + h, h, [&](int a, int b) { return QRect(left - half, bottom - b, width, b - a); });
    }
    if (dashes.empty())
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(color));
    painter.drawRects(dashes.data(), static_cast<int>(dashes.size()));
    painter.restore();
}

} // namespace

void DrawSelectionOutline(QPainter& painter, const TRect& selection, bool frameMode)
{
    const QRect edge(selection.Left, selection.Top, selection.width(), selection.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (frameMode) {
        FillBand(painter, edge, 7, kOutlineHalo);
        DashBand(painter, edge, 3, kOutlineDash);
    } else {
        DashBand(painter, edge, 3, kDrawingOutline);
    }
    painter.restore();
}

void DrawSelectionHandles(QPainter& painter, const TRect& selection)
{
    const QPoint corners[4] = {{selection.Left, selection.Top},
                               {selection.Right, selection.Top},
                               {selection.Right, selection.Bottom},
                               {selection.Left, selection.Bottom}};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(kHandleFill));
    for (const QPoint& c : corners)
        painter.drawEllipse(QRectF(c.x() - 7, c.y() - 7, 13, 13));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor::fromRgba(kHandleRing), 1));
    for (const QPoint& c : corners)
        painter.drawEllipse(QRectF(c.x() - 5, c.y() - 5, 9, 9));
    painter.restore();
}

HaloLabel MakeSizeLabel()
{
    return HaloLabel(kLabelEm, kLabelHalo, kLabelColor);
}

void DrawSizeLabel(QPainter& painter, const TRect& selection, HaloLabel& label)
{
    label.draw(painter, QRect(selection.Left, selection.Top, selection.width(), selection.height()),
               QStringLiteral("%1 x %2").arg(selection.width()).arg(selection.height()));
}

HaloLabel MakeSelectionHint()
{
    return HaloLabel(kHintEm, kHintHalo, kHintColor);
}

void DrawSelectionHint(QPainter& painter, const QString& text, const QSize& clientSize, HaloLabel& hint)
{
    hint.draw(painter, QRect(QPoint(0, 0), clientSize), text);
}

QRect FrameArea(const TRect& selection)
{
    return QRect(selection.Left, selection.Top, selection.width(), selection.height())
        .adjusted(-kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin);
}

} // namespace tern
