#pragma once

class QWidget;

namespace tern::ui {

// Grows a form of fixed geometry (no layout) so that every caption of its labels, check boxes, radio
// buttons and push buttons shows whole in the font it has now: a control too narrow for its text
// widens from its left edge (a centred label around its middle), and the controls after it on the
// same row move along; a label too low grows around its middle line. When the controls then reach
// past the form's right margin, the form widens, buttons at its right edge move with it and those
// centred in it stay centred. Nothing ever shrinks, and the font is never changed. Forms with a
// layout fit themselves and are left alone.
void GrowToFitTexts(QWidget& form);

} // namespace tern::ui
