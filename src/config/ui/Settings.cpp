#include "config/ui/Settings.h"

#include "config/ConfStore.h"
#include "ui/DialogContext.h"
#include "ui/DialogFrame.h"
#include "ui_Settings.h"

#include <QLabel>
#include <QPushButton>

#include <exception>
#include <string>

namespace tern {

namespace {

// The two labels take the size of their translated text, keeping their left edge and their middle
// line, so that a longer text or a wider face is never cut off.
void fitToText(QLabel* label)
{
    const QRect designed = label->geometry();
    const QSize size = label->sizeHint().expandedTo(QSize(1, designed.height()));
    label->setGeometry(designed.left(), designed.top() - (size.height() - designed.height()) / 2,
                       size.width(), size.height());
}

} // namespace

TfSettings::TfSettings(DialogContext& context, TConfStore& conf, QWidget* parent)
    : QDialog(parent), m_context(context), m_conf(conf), m_ui(std::make_unique<Ui::TfSettings>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this);
    setFixedSize(384, 287);
    connect(m_ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->Button3, &QPushButton::clicked, this, &TfSettings::Button3Click);
    connect(m_ui->Button4, &QPushButton::clicked, this, &TfSettings::Button4Click);
    connect(m_ui->Button5, &QPushButton::clicked, this, [this] { RunReportingErrors(m_context, m_key); });
    connect(m_ui->Label1, &TLinkLabel::clicked, this, &TfSettings::Label1Click);
}

TfSettings::~TfSettings() = default;

bool TfSettings::Execute()
{
    m_context.TranslateForm(this);
    fitToText(m_ui->Label2);
    fitToText(m_ui->Label1);
    const ModalScope modal(m_context);
    LoadControls();
    const bool accepted = exec() == QDialog::Accepted;
    if (accepted) {
        StoreControls();
        m_conf.Save();
    }
    return accepted;
}

void TfSettings::setLoginAction(std::function<void()> login)
{
    m_login = std::move(login);
}

void TfSettings::setKeyAction(std::function<void()> key)
{
    m_key = std::move(key);
}

void TfSettings::setLanguageActions(std::function<void()> selectLanguage, std::function<void()> editLanguages)
{
    m_selectLanguage = std::move(selectLanguage);
    m_editLanguages = std::move(editLanguages);
}

void TfSettings::LoadControls()
{
    const TConfStore& conf = m_conf;
    m_ui->e1->setShortcut(conf.MainKey);
    m_ui->c2->setChecked(conf.CheckUpdates);
    m_ui->c0->setChecked(conf.DisableRemote);
    m_ui->c1->setChecked(conf.StartWithWindows);
}

void TfSettings::StoreControls()
{
    m_conf.Apply({.CheckUpdates = m_ui->c2->isChecked(),
                  .MainKey = m_ui->e1->shortcut(),
                  .DisableRemote = m_ui->c0->isChecked(),
                  .StartWithWindows = m_ui->c1->isChecked()});
}

void TfSettings::Button3Click()
{
    RunReportingErrors(m_context, m_login);
}

void TfSettings::Button4Click()
{
    RunReportingErrors(m_context, m_selectLanguage);
}

void TfSettings::Label1Click()
{
    RunReportingErrors(m_context, m_editLanguages);
}

} // namespace tern
