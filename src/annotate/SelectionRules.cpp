#include "annotate/SelectionRules.h"

namespace tern {

namespace {

TRect adjusted(TRect r, std::int32_t zone, std::int32_t x, std::int32_t y) noexcept
{
    const bool leftMoves = zone == fzTopLeft || zone == fzBottomLeft;
    const bool topMoves = zone == fzTopLeft || zone == fzTopRight;
    if (leftMoves && r.Right - x > kMinAdjustSide)
        r.Left = x;
    if (!leftMoves && x - r.Left > kMinAdjustSide)
        r.Right = x;
    if (topMoves && r.Bottom - y > kMinAdjustSide)
        r.Top = y;
    if (!topMoves && y - r.Top > kMinAdjustSide)
        r.Bottom = y;
    return r;
}

} // namespace

TRect SelectionAfterMove(const TRect& selection, std::int32_t mode, std::int32_t downZone,
                         std::int32_t anchorX, std::int32_t anchorY, std::int32_t x, std::int32_t y,
                         std::int32_t formWidth, std::int32_t formHeight) noexcept
{
    TRect r = selection;
    if (mode == cmSelecting) {
        // Normalized before it is kept inside the form, so that a drag towards the top-left is
        // shifted like any other.
        r = NormalizedRect({anchorX, anchorY, x, y});
    } else if (mode == cmAdjusting) {
        switch (downZone) {
        case fzTopLeft:
        case fzTopRight:
        case fzBottomRight:
        case fzBottomLeft:
            r = adjusted(r, downZone, x, y);
            break;
        case fzInside:
            r = {x - anchorX, y - anchorY, x - anchorX + selection.width(), y - anchorY + selection.height()};
            break;
        default:
            break;
        }
    }
    if (r.Right > formWidth) {
        r.Left -= r.Right - formWidth;
        r.Right = formWidth;
    }
    if (r.Bottom > formHeight) {
        r.Top -= r.Bottom - formHeight;
        r.Bottom = formHeight;
    }
    if (r.Left < 0) {
        r.Right -= r.Left;
        r.Left = 0;
    }
    if (r.Top < 0) {
        r.Bottom -= r.Top;
        r.Top = 0;
    }
    return NormalizedRect(r);
}

std::int32_t ModeAfterRelease(std::int32_t mode, const TRect& selection) noexcept
{
    if (mode != cmSelecting)
        return mode;
    return selection.width() >= kMinSelectionSide && selection.height() >= kMinSelectionSide ? cmAdjusting
                                                                                             : cmIdle;
}

} // namespace tern
