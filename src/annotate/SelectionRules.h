#pragma once

#include "annotate/PaintGeometry.h"

#include <cstdint>

namespace tern {

// Interaction modes of the area selector.
enum TClipMode : std::int32_t {
    cmIdle = 0,      // the next left press starts a selection
    cmSelecting = 1, // a new selection is being dragged out
    cmAdjusting = 2, // a selection exists; its handles and inside can be dragged
    cmDrawing = 3,   // a drawing tool is active
};

// A selection edge moves only while the selection stays wider (higher) than this.
inline constexpr std::int32_t kMinAdjustSide = 20;
// A dragged-out selection at least this wide and high can be adjusted.
inline constexpr std::int32_t kMinSelectionSide = 20;

// Where a pointer move at (x, y) takes `selection`, given the mode, the zone of the last left press
// (0 when none is held) and the anchor (the press point while selecting; the press point's offset
// from the selection's top-left corner while adjusting). A corner follows the pointer only while the
// selection stays more than 20 pixels wide and high, so it never flips; a moved selection keeps its
// size. The result is shifted, never resized, to lie inside a form of `formWidth` x `formHeight`.
// Normalized.
TRect SelectionAfterMove(const TRect& selection, std::int32_t mode, std::int32_t downZone,
                         std::int32_t anchorX, std::int32_t anchorY, std::int32_t x, std::int32_t y,
                         std::int32_t formWidth, std::int32_t formHeight) noexcept;

// The mode a released drag leaves: adjusting for a selection of at least 20 x 20 pixels while
// selecting, idle for a smaller one; any other mode stays.
std::int32_t ModeAfterRelease(std::int32_t mode, const TRect& selection) noexcept;

} // namespace tern
