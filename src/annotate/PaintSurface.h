#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tern {

struct PointF
{
    double x = 0;
    double y = 0;
    bool operator==(const PointF&) const = default;
};

// One cubic Bézier piece that continues from the end of the previous one.
struct BezierSegment
{
    PointF control1;
    PointF control2;
    PointF end;
};

// The drawing operations an annotation needs, in form pixels and ARGB colours (alpha in the top
// byte). Every stroke is antialiased with a solid pen of `width` pixels; the surface applies the
// caller's clip. Implementations draw on the GUI thread only and report no errors.
class PaintSurface
{
public:
    virtual ~PaintSurface() = default;

    // A smooth path from `start` through the segments, flat ends.
    virtual void strokeCurve(PointF start, const std::vector<BezierSegment>& segments, std::uint32_t color,
                             double width) = 0;
    // A straight line with flat ends.
    virtual void strokeLine(PointF from, PointF to, std::uint32_t color, double width) = 0;
    // An open polyline with round joins and ends (an arrowhead's two strokes).
    virtual void strokePolyline(const std::vector<PointF>& points, std::uint32_t color, double width) = 0;
    // The outline of the rectangle at (left, top) of the given size, the pen centred on its edges.
    virtual void strokeRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                            std::uint32_t color, double penWidth) = 0;
    // The outline of the ellipse inscribed in that rectangle.
    virtual void strokeEllipse(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                               std::uint32_t color, double penWidth) = 0;
    // UTF-16 text in the annotation face at `emPixels`, its first line's top-left at (x, y); each
    // line feed starts a new line below; no wrapping, no clipping by a layout box.
    virtual void fillText(std::u16string_view text, double x, double y, std::int32_t emPixels,
                          std::uint32_t color) = 0;
};

} // namespace tern
