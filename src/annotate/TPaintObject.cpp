#include "annotate/TPaintObject.h"

#include "annotate/CardinalSpline.h"
#include "annotate/PaintGeometry.h"
#include "annotate/TPaintObjects.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tern {

namespace {

// Halo colour behind annotation text.
constexpr std::uint32_t kHaloColor = 0xFFFFFFFFU;
// An arrowhead's length and base width, in pen widths.
constexpr double kArrowHeadPens = 5.0;

std::int32_t Saturated(std::int32_t value, std::int32_t delta)
{
    const std::int64_t sum = std::int64_t{value} + delta;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

PointF ToPointF(const TPointItem& p)
{
    return {static_cast<double>(p.X), static_cast<double>(p.Y)};
}

bool IsShapeKind(TPaintKind kind)
{
    return kind == TPaintKind::pkLine || kind == TPaintKind::pkRect || kind == TPaintKind::pkArrow ||
           kind == TPaintKind::pkEllipse;
}

// The two base corners of an open arrowhead whose tip is `tip`, pointing away from `from`; empty
// when the line has no direction.
std::vector<PointF> ArrowHead(PointF from, PointF tip, double penWidth)
{
    const double dx = tip.x - from.x;
    const double dy = tip.y - from.y;
    const double length = std::hypot(dx, dy);
    if (length <= 0)
        return {};
    const double ux = dx / length;
    const double uy = dy / length;
    const double back = kArrowHeadPens * penWidth;
    const double half = kArrowHeadPens * penWidth / 2;
    const PointF base{tip.x - ux * back, tip.y - uy * back};
    return {{base.x - uy * half, base.y + ux * half}, tip, {base.x + uy * half, base.y - ux * half}};
}

} // namespace

TPaintKind PaintKindOfTool(int tool) noexcept
{
    if (tool < static_cast<int>(TPaintKind::pkNone) || tool > static_cast<int>(TPaintKind::pkEllipse))
        return TPaintKind::pkNone;
    return static_cast<TPaintKind>(tool);
}

bool TPaintObject::IsEmpty() const
{
    switch (Kind) {
    case TPaintKind::pkFreehand: {
        double length = 0;
        for (std::size_t i = 1; i < Points.size(); ++i)
            length += PointDistance(Points[i - 1].X, Points[i - 1].Y, Points[i].X, Points[i].Y);
        return length <= kEmptyStrokeLength;
    }
    case TPaintKind::pkText:
        // Spaces, line breaks and control characters alone make no text; every other character
        // (also one without a narrow-code-page form) does.
        return std::all_of(Text.begin(), Text.end(), [](char16_t c) { return c <= 32; });
    case TPaintKind::pkLine:
    case TPaintKind::pkRect:
    case TPaintKind::pkArrow:
    case TPaintKind::pkEllipse:
        return Points.size() < 2 ||
               PointDistance(Points[0].X, Points[0].Y, Points[1].X, Points[1].Y) <= kEmptyStrokeLength;
    default:
        return true;
    }
}

bool TPaintObject::isNewest() const
{
    return m_collection != nullptr && m_collection->Last() == this;
}

std::u16string TPaintObject::shownText(bool Final) const
{
    if (!Final && CaretOn && isNewest())
        return Text + u"|";
    return Text;
}

void TPaintObject::Draw(PaintSurface& surface, bool Final)
{
    if (Kind == TPaintKind::pkText) {
        if (Points.empty())
            return;
        const std::u16string shown = shownText(Final);
        if (!Final && isNewest())
            CaretOn = !CaretOn;
        const std::int32_t em = EmSizeOf(SizeIndex);
        const PointF origin = ToPointF(Points.front());
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                surface.fillText(shown, origin.x - i, origin.y - j, em, kHaloColor);
        surface.fillText(shown, origin.x, origin.y, em, Color);
        return;
    }

    const double pen = PenWidthOf(SizeIndex);
    if (Kind == TPaintKind::pkFreehand) {
        std::vector<PointF> points;
        points.reserve(Points.size());
        for (const TPointItem& p : Points)
            points.push_back(ToPointF(p));
        const std::vector<BezierSegment> segments = CardinalSplineSegments(points);
        if (!segments.empty())
            surface.strokeCurve(points.front(), segments, Color, pen);
        return;
    }
    if (!IsShapeKind(Kind) || Points.size() < 2)
        return;

    const TPointItem& p0 = Points[0];
    const TPointItem& p1 = Points[1];
    const TRect box = NormalizedRect({p0.X, p0.Y, p1.X, p1.Y});
    switch (Kind) {
    case TPaintKind::pkLine:
        surface.strokeLine(ToPointF(p0), ToPointF(p1), Color, pen);
        break;
    case TPaintKind::pkRect:
        surface.strokeRect(box.Left, box.Top, box.width(), box.height(), Color, pen);
        break;
    case TPaintKind::pkArrow: {
        surface.strokeLine(ToPointF(p0), ToPointF(p1), Color, pen);
        const std::vector<PointF> head = ArrowHead(ToPointF(p0), ToPointF(p1), pen);
        if (!head.empty())
            surface.strokePolyline(head, Color, pen);
        break;
    }
    case TPaintKind::pkEllipse:
        surface.strokeEllipse(box.Left, box.Top, box.width(), box.height(), Color, pen);
        break;
    default:
        break;
    }
}

void TPaintObject::OffsetX(std::int32_t dx)
{
    for (TPointItem& p : Points)
        p.X = Saturated(p.X, dx);
}

void TPaintObject::OffsetY(std::int32_t dy)
{
    for (TPointItem& p : Points)
        p.Y = Saturated(p.Y, dy);
}

void TPaintObject::KeepFirstPoint()
{
    if (Points.size() > 1)
        Points.resize(1);
}

} // namespace tern
