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

namespace {

// Brackets a modal run so that the dialog state ends also when the run fails.
class ModalScope
{
public:
    explicit ModalScope(TLoader& loader) : m_loader(loader) { m_loader.EnterModal(); }
    ~ModalScope() { m_loader.LeaveModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    TLoader& m_loader;
};

} // namespace

void TfInit::connectDialogActions()
{
    connect(Action("_aLogin"), &QAction::triggered, this, [this] { RunLoginDialog(); });
    connect(Action("_aSettings"), &QAction::triggered, this, [this] { RunSettingsDialog(); });
    connect(Action("_aAbout"), &QAction::triggered, this, [this] { RunAboutDialog(); });
    connect(Action("_aCheckUpd"), &QAction::triggered, this, [this] { CheckForUpdates(*m_loader, true); });
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
