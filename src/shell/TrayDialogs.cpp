// The dialogs that the tray controller's actions open.
#include "shell/TfInit.h"

#include "config/ui/Settings.h"
#include "lang/ui/LangEditor.h"
#include "lang/ui/SelectLang.h"
#include "service/ui/AuthForm.h"
#include "shell/UpdateReports.h"
#include "util/ui/About.h"

#include <QAction>

namespace tern {

void TfInit::connectDialogActions()
{
    // An error of these actions (a settings file that cannot be written, say) is reported in a message
    // box; it never leaves the slot.
    const auto guarded = [this](void (TfInit::*run)()) {
        return [this, run] { RunReportingErrors(*m_loader, [this, run] { (this->*run)(); }); };
    };
    connect(Action("_aLogin"), &QAction::triggered, this, guarded(&TfInit::RunLoginDialog));
    connect(Action("_aSettings"), &QAction::triggered, this, guarded(&TfInit::RunSettingsDialog));
    connect(Action("_aAbout"), &QAction::triggered, this, guarded(&TfInit::RunAboutDialog));
    connect(Action("_aCheckUpd"), &QAction::triggered, this,
            [this] { RunReportingErrors(*m_loader, [this] { CheckForUpdates(*m_loader, true); }); });
}

void TfInit::RunLoginDialog()
{
    TfAuthForm dialog(*m_loader);
    dialog.RunDialog();
    UpdateActions();
}

void TfInit::RunSettingsDialog()
{
    TfSettings dialog(*m_loader);
    dialog.SetLoginAction([this] { Action("_aLogin")->trigger(); });
    dialog.SetLanguageActions(
        [this] {
            RunLanguageSelection();
            m_loader->TranslateForm(this);
        },
        [this] {
            RunLanguageEditor();
            m_loader->TranslateForm(this);
        });
    dialog.Execute();
}

void TfInit::RunAboutDialog()
{
    ModalScope modal(*m_loader);
    TfAboutFrm dialog(*m_loader);
    dialog.exec();
}

bool TfInit::RunLanguageSelection()
{
    TfSelectLang dialog(*m_loader);
    return dialog.ExecuteSelect();
}

void TfInit::RunLanguageEditor()
{
    TfLangEditor dialog(*m_loader);
    dialog.Execute();
}

} // namespace tern
