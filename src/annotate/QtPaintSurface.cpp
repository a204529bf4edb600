#include "annotate/QtPaintSurface.h"

#include "annotate/AnnotationFont.h"
#include "annotate/CardinalSpline.h"
#include "annotate/PaintGeometry.h"
#include "annotate/TextPictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace tern {

namespace {

QPen MakePen(std::uint32_t color, double width, Qt::PenCapStyle cap, Qt::PenJoinStyle join)
{
    QPen pen(QColor::fromRgba(color), width, Qt::SolidLine, cap, join);
    return pen;
}

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Annotation text: top-left origin, no clipping, line feeds break lines.
const int kAnnotationTextFlags = static_cast<int>(Qt::AlignLeft | Qt::AlignTop) | Qt::TextDontClip;

// Widest reach of an arrowhead beyond the line's end point, in pen widths, plus the pen itself.
constexpr double kStrokeReachPens = 6.0;

} // namespace

QtPaintSurface::QtPaintSurface(QPainter& painter, TextPictures* textPictures)
    : m_painter(painter), m_textPictures(textPictures)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setBrush(Qt::NoBrush);
}

QtPaintSurface::~QtPaintSurface()
{
    m_painter.restore();
}

void QtPaintSurface::strokeCurve(PointF start, const std::vector<BezierSegment>& segments,
                                 std::uint32_t color, double width)
{
    QPainterPath path(QPointF(start.x, start.y));
    for (const BezierSegment& s : segments)
        path.cubicTo(s.control1.x, s.control1.y, s.control2.x, s.control2.y, s.end.x, s.end.y);
    m_painter.strokePath(path, MakePen(color, width, Qt::FlatCap, Qt::MiterJoin));
}

void QtPaintSurface::strokeLine(PointF from, PointF to, std::uint32_t color, double width)
{
    m_painter.setPen(MakePen(color, width, Qt::FlatCap, Qt::MiterJoin));
    m_painter.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

void QtPaintSurface::strokePolyline(const std::vector<PointF>& points, std::uint32_t color, double width)
{
    QPolygonF polygon;
    for (const PointF& p : points)
        polygon << QPointF(p.x, p.y);
    m_painter.setPen(MakePen(color, width, Qt::RoundCap, Qt::RoundJoin));
    m_painter.drawPolyline(polygon);
}

void QtPaintSurface::strokeRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                                std::uint32_t color, double penWidth)
{
    m_painter.setPen(MakePen(color, penWidth, Qt::FlatCap, Qt::MiterJoin));
    m_painter.drawRect(QRectF(left, top, width, height));
}

void QtPaintSurface::strokeEllipse(std::int32_t left, std::int32_t top, std::int32_t width,
                                   std::int32_t height, std::uint32_t color, double penWidth)
{
    m_painter.setPen(MakePen(color, penWidth, Qt::FlatCap, Qt::MiterJoin));
    m_painter.drawEllipse(QRectF(left, top, width, height));
}

void QtPaintSurface::fillText(std::u16string_view text, double x, double y, std::int32_t emPixels,
                              std::uint32_t color)
{
    if (m_textPictures && x == std::floor(x) && y == std::floor(y)) {
        QPoint offset;
        const QImage& picture = m_textPictures->picture(text, emPixels, color, offset);
        if (!picture.isNull())
            m_painter.drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)) + offset, picture);
        return;
    }
    if (emPixels != m_fontEm) {
        m_painter.setFont(AnnotationFont(emPixels));
        m_fontEm = emPixels;
    }
    m_painter.setPen(QColor::fromRgba(color));
    m_painter.drawText(QRectF(x, y, 0, 0), kAnnotationTextFlags, ToQString(text));
}

QRect AnnotationBounds(const TPaintObject& object)
{
    if (object.Points.empty())
        return {};
    if (object.Kind == TPaintKind::pkText) {
        const QFontMetrics metrics(AnnotationFont(EmSizeOf(object.SizeIndex)));
        const TPointItem& origin = object.Points.front();
        // With the caret, whichever phase comes next; one pixel of halo on every side.
        const QRect text = metrics.boundingRect(QRect(origin.X, origin.Y, 0, 0), kAnnotationTextFlags,
                                                ToQString(object.Text + u"|"));
        return text.adjusted(-2, -2, 2, 2);
    }
    if (object.Kind < TPaintKind::pkFreehand || object.Kind > TPaintKind::pkEllipse)
        return {};
    std::vector<PointF> points;
    for (const TPointItem& p : object.Points)
        points.push_back({static_cast<double>(p.X), static_cast<double>(p.Y)});
    if (object.Kind == TPaintKind::pkFreehand)
        // The curve stays inside the hull of its points and Bézier control points.
        for (const BezierSegment& s : CardinalSplineSegments(points)) {
            points.push_back(s.control1);
            points.push_back(s.control2);
        }
    else if (points.size() > 2)
        points.resize(2);
    double left = points.front().x;
    double right = left;
    double top = points.front().y;
    double bottom = top;
    for (const PointF& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const double reach = kStrokeReachPens * PenWidthOf(object.SizeIndex) + 2;
    return QRectF(QPointF(left - reach, top - reach), QPointF(right + reach, bottom + reach)).toAlignedRect();
}

} // namespace tern
