#pragma once

#include "platform/MessageBoxes.h"
#include "util/TextLookup.h"

#include <functional>
#include <string>

class QWidget;

namespace tern {

// What a dialog or a selector window needs of the program besides its own data: the texts of the
// current language, the translation of a form, the bracket around every modal window, and the
// message boxes. The program's loader provides it; tests provide it over fakes. GUI thread only.
class DialogContext : public virtual TextLookup
{
public:
    // Re-reads the current language file and, with a form, translates it.
    virtual void TranslateForm(QWidget* form) = 0;
    // Bracket every modal window; the first opens and the last closes the tray's dialog state.
    virtual void EnterModal() = 0;
    virtual void LeaveModal() = 0;
    // The program's message boxes.
    virtual platform::MessageBoxes& messageBoxes() = 0;
};

// Runs `action` from a Qt slot or event handler. An error it raises does not leave the slot: it is
// shown with its text in an error message box, as the program shows any error of an action.
void RunReportingErrors(DialogContext& context, const std::function<void()>& action);

// Brackets one modal run with EnterModal/LeaveModal, so that the dialog state ends however the run
// ends, also by an exception.
class ModalScope
{
public:
    explicit ModalScope(DialogContext& context) : m_context(context) { m_context.EnterModal(); }
    ~ModalScope() { m_context.LeaveModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    DialogContext& m_context;
};

} // namespace tern
