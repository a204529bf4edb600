#pragma once

class QDialog;

namespace tern {

// Gives `dialog` the frame of a dialog that keeps its size: a title bar with the system menu and the
// close button and, with `minimiseBox`, a minimise button, but never a maximise button. The caller
// fixes the size (setFixedSize or a fixed-size layout), so that the user cannot resize it either.
// A dialog without a parent opens centred on the screen under the mouse pointer (the toolkit's
// placement of parentless dialogs), so the program's dialogs are created without one.
void SetFixedDialogFrame(QDialog& dialog, bool minimiseBox = false);

} // namespace tern
