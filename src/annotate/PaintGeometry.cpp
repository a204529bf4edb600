#include "annotate/PaintGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tern {

namespace {

bool InSquare(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y) noexcept
{
    // 64-bit sums: corners near the ends of the 32-bit range must not wrap.
    const std::int64_t left = std::int64_t{cx} - kHandleReach;
    const std::int64_t top = std::int64_t{cy} - kHandleReach;
    const std::int64_t side = std::int64_t{2} * kHandleReach;
    return left <= x && x < left + side && top <= y && y < top + side;
}

std::int32_t ClampedIndex(std::int32_t index) noexcept
{
    return std::clamp<std::int32_t>(index, 0, 2);
}

} // namespace

TRect NormalizedRect(const TRect& r) noexcept
{
    TRect n = r;
    if (n.Right < n.Left)
        std::swap(n.Left, n.Right);
    if (n.Bottom < n.Top)
        std::swap(n.Top, n.Bottom);
    return n;
}

std::int32_t FrameHitZone(const TRect& r, std::int32_t x, std::int32_t y) noexcept
{
    if (InSquare(r.Left, r.Top, x, y))
        return fzTopLeft;
    if (InSquare(r.Right, r.Top, x, y))
        return fzTopRight;
    if (InSquare(r.Left, r.Bottom, x, y))
        return fzBottomLeft;
    if (InSquare(r.Right, r.Bottom, x, y))
        return fzBottomRight;
    if (r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom)
        return fzInside;
    return fzOutside;
}

double PointDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) noexcept
{
    const double dx = static_cast<double>(x1) - static_cast<double>(x2);
    const double dy = static_cast<double>(y1) - static_cast<double>(y2);
    return std::sqrt(dx * dx + dy * dy);
}

std::uint32_t PaletteColor(std::int32_t index) noexcept
{
    return index >= 0 && index <= 2 ? kPaletteColors[index] : 0U;
}

std::int32_t PenWidthOf(std::int32_t sizeIndex) noexcept
{
    return 3 * ClampedIndex(sizeIndex) + 2;
}

std::int32_t EmSizeOf(std::int32_t sizeIndex) noexcept
{
    return 8 * ClampedIndex(sizeIndex) + 13;
}

} // namespace tern
