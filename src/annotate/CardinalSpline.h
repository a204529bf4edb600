#pragma once

#include "annotate/PaintSurface.h"

#include <vector>

namespace tern {

// The tension of a smooth freehand stroke.
inline constexpr double kDefaultTension = 0.5;

// The cardinal spline through `points` as cubic Bézier segments that start at points.front(): one
// segment per pair of neighbours, passing through every point. The tangent at point i is
// tension * (P[i+1] - P[i-1]), the ends repeating their own point; each control point lies a third
// of that tangent away. Fewer than two points give no segments.
std::vector<BezierSegment> CardinalSplineSegments(const std::vector<PointF>& points,
                                                  double tension = kDefaultTension);

} // namespace tern
