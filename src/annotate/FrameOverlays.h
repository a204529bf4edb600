#pragma once

#include "annotate/HaloLabel.h"
#include "annotate/PaintGeometry.h"

#include <QRect>
#include <QString>

class QPainter;

namespace tern {

// The pieces drawn over the selection, each on its own; all honour the painter's clip and leave
// its state as they found it. `selection` is normalized.

// The selection's outline: a light halo with a dark red dash while adjusting, a faint dark dash
// while drawing.
void DrawSelectionOutline(QPainter& painter, const TRect& selection, bool frameMode);
// The four round handles at the corners.
void DrawSelectionHandles(QPainter& painter, const TRect& selection);
// "W x H", centred in the selection, through `label` from MakeSizeLabel.
HaloLabel MakeSizeLabel();
void DrawSizeLabel(QPainter& painter, const TRect& selection, HaloLabel& label);
// The invitation to select, centred in the client area of `clientSize`, through `hint` from
// MakeSelectionHint.
HaloLabel MakeSelectionHint();
void DrawSelectionHint(QPainter& painter, const QString& text, const QSize& clientSize, HaloLabel& hint);

// The pixels the outline and handles of `selection` may touch; the label lies inside the selection.
QRect FrameArea(const TRect& selection);

} // namespace tern
