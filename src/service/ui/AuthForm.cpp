#include "service/ui/AuthForm.h"

#include "config/ConfStore.h"
#include "lang/TextKeys.h"
#include "notify/TrayBalloon.h"
#include "platform/ShellRoutines.h"
#include "service/PasswordDigest.h"
#include "service/ServiceClient.h"
#include "ui/DialogContext.h"
#include "ui/DialogFrame.h"
#include "ui/LinkLabel.h"
#include "util/ProductName.h"
#include "util/ShortcutText.h"
#include "util/TextRoutines.h"

#include "ui_AuthForm.h"

#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPalette>

#include <exception>

namespace tern {

namespace {

constexpr const char* kMessageCaption = kProductName;
constexpr int kBalloonSeconds = 10;

// The e-mail step's progress bar as the service client drives it. The wait for a reply processes no
// window messages, so every change is painted at once.
class ProgressBarAdapter final : public AuthProgress
{
public:
    explicit ProgressBarAdapter(QProgressBar& bar) : m_bar(bar) {}

    void setVisible(bool visible) override
    {
        m_bar.setValue(m_bar.minimum());
        m_bar.setVisible(visible);
        m_bar.repaint();
    }
    int position() const override { return m_bar.value(); }
    void setPosition(int position) override
    {
        m_bar.setValue(position);
        m_bar.repaint();
    }

private:
    QProgressBar& m_bar;
};

} // namespace

TfAuthForm::TfAuthForm(DialogContext& context, TConfStore& conf, ServiceClient& service,
                       platform::DesktopShell& shell, TrayBalloon& tray, QWidget* parent)
    : QDialog(parent), m_context(context), m_conf(conf), m_service(service), m_shell(shell), m_tray(tray),
      m_ui(std::make_unique<Ui::TfAuthForm>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this, true);
    // The bar keeps its place while hidden, so showing it during a request needs no new layout.
    QSizePolicy barPolicy = m_ui->pb->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(true);
    m_ui->pb->setSizePolicy(barPolicy);

    m_emailPalette = m_ui->emladdr->palette();

    connect(m_ui->genbt, &QPushButton::clicked, this, &TfAuthForm::onGenbtClicked);
    connect(m_ui->lSignOut, &TLinkLabel::clicked, this, [this] { runHandler([this] { SignOut(); }); });
    // The form sees every key before the focused control does; the link labels react to clicks.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    FormCreate();
}

TfAuthForm::~TfAuthForm() = default;

bool TfAuthForm::RunDialog()
{
    m_context.TranslateForm(this);
    fitToPanels();
    const ModalScope modal(m_context);
    return exec() == QDialog::Accepted;
}

void TfAuthForm::FormCreate()
{
    m_ui->emladdr->setText(QString::fromStdString(m_conf.Login));
    showSignedIn();
    fitToPanels();
}

void TfAuthForm::showSignedIn()
{
    const bool signedIn = !m_conf.Login.empty() && !m_conf.Password.empty();
    if (signedIn) {
        m_ui->lbSignedIn->setText(
            QString::fromStdString(SubstituteArgument(TextOf(m_context, text::kSignedIn), m_conf.Login)));
    }
    m_ui->pSigned->setVisible(signedIn);
}

void TfAuthForm::SignOut()
{
    m_conf.Apply({.Login = "", .Password = ""});
    m_conf.Save();
    showSignedIn();
    ShowEmailStep();
}

void TfAuthForm::genbtClick()
{
    if (!m_ui->pCont->isHidden()) {
        DoLogin();
        return;
    }
    if (!m_ui->pReg->isHidden()) {
        registerAccount();
        return;
    }
    ProgressBarAdapter progress(*m_ui->pb);
    const std::string status = m_service.ValidateEmail(m_ui->emladdr->text().toStdString(), &progress);
    if (status == "notvalidated")
        showMessage(TextOf(m_context, text::kInvalidEmail));
    else if (status == "unregistered")
        ShowRegisterStep();
    else if (status == "validated")
        ShowLoginStep();
    else if (status.empty())
        showMessage(SubstituteArgument(TextOf(m_context, text::kConnectProblem), m_conf.ServiceHost));
    // Any other status is not understood here and changes nothing.
}

void TfAuthForm::registerAccount()
{
    const QString password = m_ui->pass->text();
    if (password != m_ui->passr->text()) {
        showMessage(TextOf(m_context, text::kPasswordMismatch));
        return;
    }
    if (password.size() < kMinimumPasswordLength) {
        showMessage(SubstituteArgument(TextOf(m_context, text::kPasswordShort),
                                       std::to_string(kMinimumPasswordLength)));
        return;
    }
    const std::optional<std::string> error = m_service.RegisterAccount(
        m_ui->emladdr->text().toStdString(), PasswordDigest(password.toStdString()));
    if (error) {
        showMessage(*error);
        return;
    }
    finishSignIn(text::kAccountRegistered);
}

void TfAuthForm::DoLogin()
{
    const bool signedIn = m_service.TryLogin(m_ui->emladdr->text().toStdString(),
                                             PasswordDigest(m_ui->passl->text().toStdString()));
    if (signedIn) {
        finishSignIn(text::kLoginOk);
        return;
    }
    showMessage(TextOf(m_context, text::kLoginFailed));
    m_ui->passl->clear();
    m_ui->passl->setFocus();
}

void TfAuthForm::ShowRegisterStep()
{
    m_ui->pReg->show();
    m_ui->pCont->hide();
    m_ui->genbt->setText(QString::fromStdString(TextOf(m_context, text::kRegisterButton)));
    setEmailFixed(true);
    fitToPanels();
    m_ui->pass->setFocus();
}

void TfAuthForm::ShowLoginStep()
{
    m_ui->pReg->hide();
    m_ui->pCont->show();
    m_ui->genbt->setText(QString::fromStdString(TextOf(m_context, text::kLoginButton)));
    setEmailFixed(true);
    fitToPanels();
    m_ui->passl->setFocus();
}

void TfAuthForm::ShowEmailStep()
{
    m_ui->pReg->hide();
    m_ui->pCont->hide();
    m_ui->genbt->setText(QString::fromStdString(TextOf(m_context, text::kContinueButton)));
    setEmailFixed(false);
    fitToPanels();
    m_ui->emladdr->setFocus();
}

void TfAuthForm::lu2Click()
{
    ShowEmailStep();
}

void TfAuthForm::lf1Click()
{
    OpenTarget(m_shell, &m_context.messageBoxes(),
               m_service.forgotPasswordUrl(m_ui->emladdr->text().toStdString()), true);
}

bool TfAuthForm::FormKeyPress(int key)
{
    if (key == Qt::Key_Escape) {
        reject();
        return true;
    }
    // Enter reaches the dialog, which presses the default button.
    return false;
}

bool TfAuthForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return FormKeyPress(static_cast<QKeyEvent*>(event)->key());
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_ui->lu1 || watched == m_ui->lu2) {
            lu2Click();
            return true;
        }
        if (watched == m_ui->lf1) {
            runHandler([this] { lf1Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfAuthForm::onGenbtClicked()
{
    runHandler([this] { genbtClick(); });
}

void TfAuthForm::runHandler(const std::function<void()>& handler)
{
    // The dialog stays in its step when the handler fails.
    RunReportingErrors(m_context, handler);
}

void TfAuthForm::showMessage(const std::string& text)
{
    m_context.messageBoxes().show(text, kMessageCaption, platform::MessageIcon::Error,
                                  platform::MessageButtons::Ok);
}

void TfAuthForm::finishSignIn(const TextKey& firstLine)
{
    const std::string keyTip =
        SubstituteArgument(TextOf(m_context, text::kKeyTip), ShortcutText(m_conf.MainKey));
    m_tray.showTrayBalloon(TextOf(m_context, firstLine) + "\n" + keyTip, kBalloonSeconds,
                           BalloonKind::Information);
    m_conf.Save();
    accept();
}

void TfAuthForm::setEmailFixed(bool fixed)
{
    m_ui->emladdr->setEnabled(!fixed);
    if (!fixed) {
        m_ui->emladdr->setPalette(m_emailPalette);
        return;
    }
    // A fixed address takes the colour of its panel, so that it reads as text rather than as a field.
    QPalette palette = m_emailPalette;
    const QColor panelColour = m_ui->pLogin->palette().color(QPalette::Window);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, panelColour);
    m_ui->emladdr->setPalette(palette);
}

void TfAuthForm::fitToPanels()
{
    // The outer layout fixes the dialog's size to its shown panels.
    layout()->invalidate();
    layout()->activate();
    adjustSize();
}

} // namespace tern
