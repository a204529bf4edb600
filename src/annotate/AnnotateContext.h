#pragma once

#include "util/TextLookup.h"

class QWidget;

namespace tern {

namespace platform {
class ScreenCapture;
}

// What the area selector takes from the program around it. The program's service client provides
// it; tests provide their own. GUI thread only.
class AnnotateContext : public virtual TextLookup
{
public:
    // Replaces the bracketed keys of `form` and its children by their texts and gives it the
    // program's dialog font.
    virtual void TranslateForm(QWidget* form) = 0;
    // Bracket the selector's life: while it exists the program is in its dialog state.
    virtual void EnterModal() = 0;
    virtual void LeaveModal() = 0;
    // The screens the selector freezes when it is created.
    virtual platform::ScreenCapture& Capture() = 0;
};

} // namespace tern
