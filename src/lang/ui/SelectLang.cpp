#include "lang/ui/SelectLang.h"

#include "ui_SelectLang.h"

#include "lang/LangModule.h"
#include "ui/DialogContext.h"
#include "ui/DialogFrame.h"

#include <QListWidgetItem>

namespace tern {

namespace {

constexpr const char* kCaption = "Tern Clipboard - Select Language";

} // namespace

TfSelectLang::TfSelectLang(DialogContext& context, TLangModule& languages, platform::WindowFocus& focus,
                           QWidget* parent)
    : QDialog(parent), m_context(context), m_languages(languages), m_focus(focus),
      m_ui(std::make_unique<Ui::TfSelectLang>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this);
    setFixedSize(size());
    // Arrow keys move the selection as clicks do: every change of the current row selects.
    connect(m_ui->lcb, &QListWidget::currentRowChanged, this, &TfSelectLang::lcbClick);
    connect(m_ui->lcb, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { accept(); });
    connect(m_ui->__bOk, &QPushButton::clicked, this, &QDialog::accept);
    m_context.TranslateForm(this);
}

TfSelectLang::~TfSelectLang() = default;

bool TfSelectLang::ExecuteSelect()
{
    setWindowTitle(QString::fromLatin1(kCaption));
    const TLangModule& module = m_languages;
    m_filling = true;
    m_ui->lcb->clear();
    for (const TLangModule::DisplayName& entry : module.DisplayNames()) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.name), m_ui->lcb);
        item->setData(Qt::UserRole, entry.fileIndex);
    }
    m_ui->lcb->setCurrentRow(module.CurrentIndex());
    m_filling = false;

    ModalScope modal(m_context);
    return exec() == QDialog::Accepted;
}

void TfSelectLang::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_focus.forceForegroundWindow(static_cast<platform::WindowHandle>(winId()));
}

void TfSelectLang::lcbClick(int row)
{
    if (m_filling || row < 0)
        return;
    m_languages.SelectIndex(row);
    m_context.TranslateForm(this);
}

} // namespace tern
