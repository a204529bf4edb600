// TfInit's dialog slots: the dialogs that the tray controller's actions open.
#include "shell/TfInit.h"

#include "config/ui/EndToEndKeyForm.h"
#include "config/ui/Settings.h"
#include "lang/ui/LangEditor.h"
#include "lang/ui/SelectLang.h"
#include "service/ui/AuthForm.h"
#include "shell/UpdateReports.h"
#include "ui/About.h"

#include <QAction>

namespace tern {

void TfInit::connectDialogActions()
{
    // An error of these actions (a settings file that cannot be written, say) is reported in a message
    // box; it never leaves the slot.
    const auto guarded = [this](void (TfInit::*run)()) {
        return [this, run] { RunReportingErrors(m_loader, [this, run] { (this->*run)(); }); };
    };
    connect(action(ActionId::Login), &QAction::triggered, this, guarded(&TfInit::runLoginDialog));
    connect(action(ActionId::Settings), &QAction::triggered, this, guarded(&TfInit::runSettingsDialog));
    connect(action(ActionId::Key), &QAction::triggered, this, guarded(&TfInit::runEndToEndKeyDialog));
    connect(action(ActionId::About), &QAction::triggered, this, guarded(&TfInit::runAboutDialog));
    connect(action(ActionId::CheckUpd), &QAction::triggered, this, [this] {
        RunReportingErrors(m_loader, [this] { CheckForUpdates(m_loader, m_notifier, true); });
    });
}

void TfInit::runLoginDialog()
{
    TfAuthForm dialog(m_loader, m_loader.conf(), m_loader.transport(), m_services.shell, m_notifier);
    dialog.RunDialog();
    UpdateActions();
}

void TfInit::runSettingsDialog()
{
    TfSettings dialog(m_loader, m_loader.conf());
    dialog.setLoginAction([this] { action(ActionId::Login)->trigger(); });
    dialog.setKeyAction([this] { runEndToEndKeyDialog(); });
    dialog.setLanguageActions(
        [this] {
            runLanguageSelection();
            m_loader.TranslateForm(this);
        },
        [this] {
            runLanguageEditor();
            m_loader.TranslateForm(this);
        });
    dialog.Execute();
}

void TfInit::runEndToEndKeyDialog()
{
    TfEndToEndKey dialog(m_loader, m_loader.conf());
    dialog.Execute();
}

void TfInit::runAboutDialog()
{
    ModalScope modal(m_loader);
    TfAboutFrm dialog(m_loader, m_loader.conf().ServiceHost, m_services.shell);
    dialog.exec();
}

bool TfInit::runLanguageSelection()
{
    TfSelectLang dialog(m_loader, m_loader.languages(), m_services.focus);
    return dialog.ExecuteSelect();
}

void TfInit::runLanguageEditor()
{
    TfLangEditor dialog(m_loader, m_loader.languages());
    dialog.Execute();
}

} // namespace tern
