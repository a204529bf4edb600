#pragma once

#include "platform/DesktopShell.h"
#include "service/TransferWorkers.h"
#include "service/ui/WorkerJob.h"

#include <QDialog>
#include <QPalette>
#include <QTimer>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QKeyEvent;

namespace Ui {
class TfAuthForm;
}

namespace tern {

class DialogContext;
class HttpTransport;
class Notifier;
class TConfStore;

// The account dialog: the user types an e-mail address, the service says whether it has an account,
// and the dialog then asks for the password (login step) or for a new password twice (registration
// step). A successful login or registration stores the e-mail and the password value, saves the
// settings, shows a balloon naming the hotkey and closes the dialog with OK.
//
// While an account is stored (an e-mail address and a password value), the dialog names it above the
// address and offers to sign out; a new sign-in replaces it only once the service has accepted it, so
// a refused or cancelled attempt keeps the account that works.
//
// The step is read from the panels: e-mail step while neither pReg nor pCont is shown, registration
// step while pReg is, login step while pCont is. Requests run without processing window messages,
// so the dialog does not react to input while one is under way. GUI thread only.
class TfAuthForm : public QDialog
{
    Q_OBJECT

public:
    // The requests go to the service of `conf` over `transport`; `notifier` shows the balloon after a
    // sign-in; `shell` opens the forgotten-password page.
    TfAuthForm(DialogContext& context, TConfStore& conf, HttpTransport& transport,
               platform::DesktopShell& shell, Notifier& notifier, QWidget* parent = nullptr);
    ~TfAuthForm() override;

    // Translates the form, runs it modally inside EnterModal/LeaveModal and returns whether it was
    // closed with OK.
    bool RunDialog();

    // Event handlers, also called directly by tests. genbtClick starts the step's request, whose
    // reply is handled from the event loop; an error of that reply (one that is not JSON, a
    // registration error without its message) is shown in a message box.
    void FormCreate();
    void genbtClick();
    // True while a request is under way.
    bool requestRunning() const noexcept { return m_requestRunning; }
    void DoLogin();
    void ShowRegisterStep();
    void ShowLoginStep();
    void ShowEmailStep();
    void lu2Click();
    void lf1Click();
    // Forgets the stored account (e-mail address and password value), saves the settings and
    // returns to the e-mail step. Throws when the settings cannot be saved.
    void SignOut();
    // True when the key was handled here and must not reach the focused control.
    bool FormKeyPress(int key);

    // Closing is refused while a request is under way.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kMinimumPasswordLength = 6;

    using ReplyHandler = std::function<void(const std::optional<nlohmann::json>& reply)>;

    void onGenbtClicked();
    // Posts an account request to `path`; `handle` gets the parsed reply (nothing when no response
    // came). `progress`: the bar runs meanwhile.
    void startRequest(const char* path, const std::string& body, bool progress, ReplyHandler handle);
    void onRequestDone(TDownloadThread& worker);
    void stepProgress();
    void onValidated(const std::string& status);
    // Runs an event handler and shows any error it throws in a message box.
    void runHandler(const std::function<void()>& handler);
    // The registration step's button: checks the two passwords, then creates the account.
    void registerAccount();
    // Balloon with the first line `firstLineKey` and the hotkey tip, settings saved, dialog accepted.
    void finishSignIn(const char* firstLineKey);
    void showMessage(const std::string& text);
    // The text of `key` in the dialog's own section.
    std::string formText(const char* key) const;
    // The connection-problem text with the service host, as every transfer failure starts.
    std::string connectionProblemText() const;
    void setEmailFixed(bool fixed);
    // Shows who is signed in, or hides the panel when no account is stored.
    void showSignedIn();
    // Sizes the dialog to its shown panels.
    void fitToPanels();

    DialogContext& m_context;
    TConfStore& m_conf;
    HttpTransport& m_transport;
    // The address of the account request under way (or the last one).
    std::string m_requestAddress;
    platform::DesktopShell& m_shell;
    Notifier& m_notifier;
    std::unique_ptr<Ui::TfAuthForm> m_ui;
    QPalette m_emailPalette;
    QTimer m_progressTimer;
    ReplyHandler m_handleReply;
    bool m_requestRunning = false;
    // Kept after its end until the next request: a job is never freed from its own report.
    std::unique_ptr<WorkerJob<TDownloadThread>> m_request;
};

} // namespace tern
