#pragma once

#include <QPixmap>
#include <QString>

namespace tern {

// The pictures of the palette's buttons, painted at start-up and kept for the run: BTN_DRAW,
// BTN_TEXT, BTN_LINE, BTN_RECT, BTN_ARROW, BTN_ELLIPSE, BTN_MOVE, BTN_UNDO, BTN_RED, BTN_GREEN,
// BTN_BLUE, BTN_LINE1..3, BTN_FONT1..3 and BTN_OK. Returns a null pixmap for any other name or a size
// below 8 pixels. GUI thread only.
QPixmap PaletteIcon(const QString& name, int size);

} // namespace tern
