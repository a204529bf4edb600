#include "service/ui/AuthForm.h"

#include "config/ConfStore.h"
#include "lang/TextKeys.h"
#include "notify/Notifier.h"
#include "platform/ShellRoutines.h"
#include "service/PasswordDigest.h"
#include "service/ServiceClient.h"
#include "service/ServiceProtocol.h"
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

constexpr const char* kFormSection = "FAUTHFORM";
constexpr const char* kMessageCaption = kProductName;
constexpr int kBalloonSeconds = 10;

// The progress bar steps through its positions 0 to 10 while the address is checked.
constexpr int kProgressStepMs = 100;
constexpr int kProgressLast = 10;

} // namespace

TfAuthForm::TfAuthForm(DialogContext& context, TConfStore& conf, HttpTransport& transport,
                       platform::DesktopShell& shell, Notifier& notifier, QWidget* parent)
    : QDialog(parent), m_context(context), m_conf(conf), m_transport(transport), m_shell(shell),
      m_notifier(notifier), m_ui(std::make_unique<Ui::TfAuthForm>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this, true);
    // The bar keeps its place while hidden, so showing it during a request needs no new layout.
    QSizePolicy barPolicy = m_ui->pb->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(true);
    m_ui->pb->setSizePolicy(barPolicy);

    m_emailPalette = m_ui->emladdr->palette();

    m_progressTimer.setInterval(kProgressStepMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &TfAuthForm::stepProgress);
    connect(m_ui->genbt, &QPushButton::clicked, this, &TfAuthForm::onGenbtClicked);
    connect(m_ui->lSignOut, &TLinkLabel::clicked, this, [this] { runHandler([this] { SignOut(); }); });
    // The form sees every key before the focused control does; the link labels react to clicks.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    FormCreate();
}

// A request still under way is waited for (its worker's thread joined) with the form.
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
            QString::fromStdString(SubstituteArgument(formText("lSignedIn"), m_conf.Login)));
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
    if (m_requestRunning)
        return; // one request at a time: the step cannot change under it
    if (!m_ui->pCont->isHidden()) {
        DoLogin();
        return;
    }
    if (!m_ui->pReg->isHidden()) {
        registerAccount();
        return;
    }
    startRequest(kValidatePath, ValidateBody(m_ui->emladdr->text().toStdString()), true,
                 [this](const std::optional<nlohmann::json>& reply) { onValidated(ReplyStatus(reply)); });
}

void TfAuthForm::onValidated(const std::string& status)
{
    if (status == "notvalidated")
        showMessage(formText("mInvalidEmail"));
    else if (status == "unregistered")
        ShowRegisterStep();
    else if (status == "validated")
        ShowLoginStep();
    else if (status.empty())
        showMessage(connectionProblemText());
    // Any other status is not understood here and changes nothing.
}

void TfAuthForm::startRequest(const char* path, const std::string& body, bool progress, ReplyHandler handle)
{
    m_request.reset(); // the previous one has ended
    m_handleReply = std::move(handle);
    m_requestRunning = true;
    if (progress) {
        m_ui->pb->setValue(m_ui->pb->minimum());
        m_ui->pb->setVisible(true);
        m_progressTimer.start();
    }
    m_requestAddress = AuthServiceUrl(m_conf.ServiceHost, path);
    m_request = std::make_unique<WorkerJob<TDownloadThread>>(
        [this](TDownloadThread& worker) { onRequestDone(worker); }, m_transport, m_requestAddress, body);
}

void TfAuthForm::stepProgress()
{
    const int next = m_ui->pb->value() + 1;
    m_ui->pb->setValue(next > kProgressLast ? 0 : next);
}

void TfAuthForm::onRequestDone(TDownloadThread& worker)
{
    m_progressTimer.stop();
    m_ui->pb->setValue(m_ui->pb->minimum());
    m_ui->pb->setVisible(false);
    m_requestRunning = false;
    const std::string reply = std::move(worker.ReplyText);
    const HttpReply outcome = worker.Outcome;
    const ReplyHandler handle = std::move(m_handleReply);
    m_handleReply = {};
    // The dialog stays in its step when no response came or the reply cannot be read; the message
    // says which.
    runHandler([this, &reply, &outcome, &handle] {
        handle(ServiceReplyObject(outcome, reply, m_requestAddress, connectionProblemText()));
    });
}

void TfAuthForm::registerAccount()
{
    const QString password = m_ui->pass->text();
    if (password != m_ui->passr->text()) {
        showMessage(formText("mPasswordMis"));
        return;
    }
    if (password.size() < kMinimumPasswordLength) {
        showMessage(SubstituteArgument(formText("mPasswordShort"), std::to_string(kMinimumPasswordLength)));
        return;
    }
    const std::string email = m_ui->emladdr->text().toStdString();
    const std::string passwordValue = PasswordDigest(password.toStdString());
    startRequest(kRegisterPath, CredentialsBody(email, passwordValue), false,
                 [this, email, passwordValue](const std::optional<nlohmann::json>& reply) {
                     if (const std::optional<std::string> error = RegistrationError(reply)) {
                         showMessage(*error);
                         return;
                     }
                     m_conf.Apply({.Login = email, .Password = passwordValue});
                     finishSignIn("mAccRegistered");
                 });
}

void TfAuthForm::DoLogin()
{
    const std::string email = m_ui->emladdr->text().toStdString();
    const std::string passwordValue = PasswordDigest(m_ui->passl->text().toStdString());
    startRequest(kCheckPath, CredentialsBody(email, passwordValue), false,
                 [this, email, passwordValue](const std::optional<nlohmann::json>& reply) {
                     // A refused attempt, or one that fails, keeps the account stored before it.
                     const std::string status = ReplyStatus(reply);
                     if (status.empty())
                         ThrowWithoutLoginStatus(connectionProblemText(), m_requestAddress);
                     if (LoginAccepted(status)) {
                         m_conf.Apply({.Login = email, .Password = passwordValue});
                         if (!m_conf.Login.empty()) {
                             finishSignIn("mLoginOk");
                             return;
                         }
                     }
                     showMessage(formText("mLoginFailed"));
                     m_ui->passl->clear();
                     m_ui->passl->setFocus();
                 });
}

void TfAuthForm::ShowRegisterStep()
{
    m_ui->pReg->show();
    m_ui->pCont->hide();
    m_ui->genbt->setText(QString::fromStdString(m_context.GetText("GLOBAL", "bRegister")));
    setEmailFixed(true);
    fitToPanels();
    m_ui->pass->setFocus();
}

void TfAuthForm::ShowLoginStep()
{
    m_ui->pReg->hide();
    m_ui->pCont->show();
    m_ui->genbt->setText(QString::fromStdString(m_context.GetText("GLOBAL", "bLogin")));
    setEmailFixed(true);
    fitToPanels();
    m_ui->passl->setFocus();
}

void TfAuthForm::ShowEmailStep()
{
    m_ui->pReg->hide();
    m_ui->pCont->hide();
    m_ui->genbt->setText(QString::fromStdString(m_context.GetText("GLOBAL", "bContinue")));
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
               forgotPasswordUrl(m_conf.ServiceHost, m_ui->emladdr->text().toStdString()), true);
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

void TfAuthForm::done(int result)
{
    if (!m_requestRunning)
        QDialog::done(result);
}

bool TfAuthForm::eventFilter(QObject* watched, QEvent* event)
{
    if (m_requestRunning) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true; // no input while a request is under way
        default:
            break;
        }
    }
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

std::string TfAuthForm::formText(const char* key) const
{
    return m_context.GetText(kFormSection, key);
}

std::string TfAuthForm::connectionProblemText() const
{
    return ConnectionProblemText(m_context, m_conf.ServiceHost);
}

void TfAuthForm::finishSignIn(const char* firstLineKey)
{
    const std::string keyTip = SubstituteArgument(formText("mKeyTip"), ShortcutText(m_conf.MainKey));
    m_notifier.notify(formText(firstLineKey) + "\n" + keyTip, kBalloonSeconds, BalloonKind::Information);
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
