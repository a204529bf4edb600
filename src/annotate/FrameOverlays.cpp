#include "annotate/FrameOverlays.h"

#include "annotate/AnnotationFont.h"

#include <QPainter>

namespace tern {

namespace {

constexpr QRgb kOutlineHalo = 0x80FFFFFFU;
constexpr QRgb kOutlineDash = 0xC8C80000U;
constexpr QRgb kDrawingOutline = 0x64000000U;
constexpr QRgb kHandleFill = 0xFFFFFFFFU;
constexpr QRgb kHandleRing = 0xC8800000U;
constexpr QRgb kLabelColor = 0xFFB40000U;
constexpr QRgb kHintColor = 0xFFFF0000U;
constexpr QRgb kHaloColor = 0xFFFFFFFFU;
constexpr int kLabelEm = 9;
constexpr int kHintEm = 20;
// The widest thing around the selection's edge: a handle of 13 pixels centred one pixel off the
// corner, plus antialiasing.
constexpr int kFrameMargin = 9;

// Dash of three pen widths and a gap of one.
QPen DashPen(QRgb color, double width)
{
    QPen pen(QColor::fromRgba(color), width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({3, 1});
    return pen;
}

QRectF EdgeRect(const TRect& r)
{
    return QRectF(r.Left, r.Top, r.width(), r.height());
}

// Text centred in `box`, over a white halo of nine copies offset by up to `spread` pixels; each
// copy's box shrinks by its offset, as the label's placement has always done.
void HaloText(QPainter& painter, const QRect& box, const QString& text, int spread, QRgb color)
{
    const int flags = Qt::AlignCenter | Qt::TextDontClip;
    painter.setPen(QColor::fromRgba(kHaloColor));
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            painter.drawText(QRect(box.x() - spread * i, box.y() - spread * j, box.width() - spread * i,
                                   box.height() - spread * j),
                             flags, text);
    painter.setPen(QColor::fromRgba(color));
    painter.drawText(box, flags, text);
}

} // namespace

void DrawSelectionOutline(QPainter& painter, const TRect& selection, bool frameMode)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    if (frameMode) {
        painter.setPen(QPen(QColor::fromRgba(kOutlineHalo), 7, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawRect(EdgeRect(selection));
        painter.setPen(DashPen(kOutlineDash, 3));
    } else {
        painter.setPen(DashPen(kDrawingOutline, 3));
    }
    painter.drawRect(EdgeRect(selection));
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

void DrawSizeLabel(QPainter& painter, const TRect& selection)
{
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(AnnotationFont(kLabelEm));
    HaloText(painter, QRect(selection.Left, selection.Top, selection.width(), selection.height()),
             QStringLiteral("%1 x %2").arg(selection.width()).arg(selection.height()), 1, kLabelColor);
    painter.restore();
}

void DrawSelectionHint(QPainter& painter, const QString& text, const QSize& clientSize)
{
    if (text.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(AnnotationFont(kHintEm));
    HaloText(painter, QRect(QPoint(0, 0), clientSize), text, 2, kHintColor);
    painter.restore();
}

QRect FrameArea(const TRect& selection)
{
    return QRect(selection.Left, selection.Top, selection.width(), selection.height())
        .adjusted(-kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin);
}

} // namespace tern
