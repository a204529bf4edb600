#include "annotate/CardinalSpline.h"

#include <cstddef>

namespace tern {

std::vector<BezierSegment> CardinalSplineSegments(const std::vector<PointF>& points, double tension)
{
    std::vector<BezierSegment> segments;
    if (points.size() < 2)
        return segments;
    const std::size_t last = points.size() - 1;
    const double factor = tension / 3.0;
    segments.reserve(last);
    for (std::size_t i = 0; i < last; ++i) {
        const PointF& before = points[i == 0 ? 0 : i - 1];
        const PointF& from = points[i];
        const PointF& to = points[i + 1];
        const PointF& after = points[i + 1 == last ? last : i + 2];
        segments.push_back({{from.x + factor * (to.x - before.x), from.y + factor * (to.y - before.y)},
                            {to.x - factor * (after.x - from.x), to.y - factor * (after.y - from.y)},
                            to});
    }
    return segments;
}

} // namespace tern
