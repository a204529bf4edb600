#include "config/ui/EndToEndKeyForm.h"

#include "clipboard/EndToEndKey.h"
#include "config/ConfStore.h"
#include "lang/TextKeys.h"
#include "ui/DialogContext.h"
#include "ui/DialogFrame.h"
#include "ui_EndToEndKeyForm.h"
#include "util/TextRoutines.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace tern {

namespace {

// The explanation wraps: it takes the width of the translated form and the height its lines need, and
// what lies below it moves down by as much as it grew.
void fitExplanation(QDialog& form, QLabel& label)
{
    const QRect designed = label.geometry();
    const int width = form.width() - 2 * designed.left();
    const int height = std::max(designed.height(), label.heightForWidth(width));
    label.setGeometry(designed.left(), designed.top(), width, height);
    const int grow = height - designed.height();
    if (grow <= 0)
        return;
    for (QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != &label && child->y() > designed.top())
            child->move(child->x(), child->y() + grow);
    }
    form.setFixedSize(form.width(), form.height() + grow);
}

} // namespace

TfEndToEndKey::TfEndToEndKey(DialogContext& context, TConfStore& conf, QWidget* parent)
    : QDialog(parent), m_context(context), m_conf(conf), m_ui(std::make_unique<Ui::TfEndToEndKey>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this);
    setFixedSize(size());
    connect(m_ui->bSet, &QPushButton::clicked, this,
            [this] { RunReportingErrors(m_context, [this] { setClicked(); }); });
    connect(m_ui->bClear, &QPushButton::clicked, this,
            [this] { RunReportingErrors(m_context, [this] { clearClicked(); }); });
    connect(m_ui->bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfEndToEndKey::~TfEndToEndKey() = default;

bool TfEndToEndKey::Execute()
{
    // The state line says whether a key is kept; the translation then sizes the form to its text.
    const bool keySet = !m_conf.EndToEndKey.empty();
    m_ui->lState->setText(keySet ? QStringLiteral("[lKeySet]") : QStringLiteral("[lNoKey]"));
    m_ui->bClear->setEnabled(keySet);
    m_context.TranslateForm(this);
    fitExplanation(*this, *m_ui->lExplain);
    const ModalScope modal(m_context);
    return exec() == QDialog::Accepted;
}

void TfEndToEndKey::setClicked()
{
    const std::string passphrase = m_ui->e1->text().toStdString();
    if (!EndToEndKeyAvailable()) {
        showMessage(kEndToEndKeyUnavailableText);
        return;
    }
    if (passphrase != m_ui->e2->text().toStdString()) {
        showMessage(TextOf(m_context, text::kKeysDiffer));
        m_ui->e2->setFocus();
        return;
    }
    if (passphrase.size() < kMinEndToEndKeyBytes) {
        showMessage(
            SubstituteArgument(TextOf(m_context, text::kKeyShort), std::to_string(kMinEndToEndKeyBytes)));
        m_ui->e1->setFocus();
        return;
    }
    store(passphrase);
}

void TfEndToEndKey::clearClicked()
{
    store(std::string());
}

void TfEndToEndKey::store(std::string passphrase)
{
    m_conf.Apply({.EndToEndKey = std::move(passphrase)});
    m_conf.Save();
    accept();
}

void TfEndToEndKey::showMessage(const std::string& text)
{
    m_context.messageBoxes().show(text, windowTitle().toStdString(), platform::MessageIcon::Error,
                                  platform::MessageButtons::Ok);
}

} // namespace tern
