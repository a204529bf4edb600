#pragma once

#include <cstdint>

namespace tern {

// A rectangle by its edges, in form pixels; Right and Bottom are exclusive, so the width is
// Right - Left. Nothing keeps it normalized by itself.
struct TRect
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int32_t width() const noexcept { return Right - Left; }
    std::int32_t height() const noexcept { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// `r` with Left <= Right and Top <= Bottom, the edges swapped where needed.
TRect NormalizedRect(const TRect& r) noexcept;

// Zones of the selection frame that a pointer position can hit.
enum FrameZone : std::int32_t {
    fzOutside = 0,
    fzTopLeft = 1,
    fzTopRight = 2,
    fzBottomRight = 3,
    fzBottomLeft = 4,
    fzInside = 5,
};

// Half the side of the square around each corner that grabs that corner.
inline constexpr std::int32_t kHandleReach = 5;

// The zone of (x, y) against the frame of `r`: the 10 x 10 handle squares centred on the corners
// (tested top-left, top-right, bottom-left, bottom-right) win over the inside.
std::int32_t FrameHitZone(const TRect& r, std::int32_t x, std::int32_t y) noexcept;

// Euclidean distance between two integer points, without rounding.
double PointDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) noexcept;

// Annotation colours, ARGB: red, green and blue, all slightly translucent.
inline constexpr std::uint32_t kPaletteColors[3] = {0xE6FF0000U, 0xE640CF00U, 0xE60000FFU};

// The palette colour of `index`; 0 (fully transparent) for an index outside 0..2.
std::uint32_t PaletteColor(std::int32_t index) noexcept;

// Pen width in pixels of a size index: 2, 5 or 8. An index outside 0..2 (settings are not
// range-checked) counts as the nearest valid one, so no width overflows or vanishes.
std::int32_t PenWidthOf(std::int32_t sizeIndex) noexcept;

// Text em size in pixels of a size index: 13, 21 or 29; clamped like PenWidthOf.
std::int32_t EmSizeOf(std::int32_t sizeIndex) noexcept;

} // namespace tern
