#pragma once

#include <QPoint>

class QMenu;

namespace tern::ui {

// Opens `menu` at `at`, the pointer position, as a menu opened by a key press. On Wayland a program
// may open a popup only from a window of its own that has just had input, which a key bound in the
// compositor never gives it: there the menu opens as a small floating window of its own (the
// compositor places it, usually in the middle of the output), takes the keyboard, and closes when it
// loses it, when an item is chosen or on Esc.
void OpenMenuAtPointer(QMenu& menu, QPoint at);

} // namespace tern::ui
