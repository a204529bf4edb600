#pragma once

#include "platform/DesktopShell.h"

#include <QDialog>
#include <QPalette>

#include <functional>
#include <memory>
#include <string>

class QKeyEvent;

namespace Ui {
class TfAuthForm;
}

namespace tern {

struct TextKey;

class DialogContext;
class ServiceClient;
class TConfStore;
class TrayBalloon;

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
    // `tray` shows the balloon after a sign-in; `shell` opens the forgotten-password page.
    TfAuthForm(DialogContext& context, TConfStore& conf, ServiceClient& service,
               platform::DesktopShell& shell, TrayBalloon& tray, QWidget* parent = nullptr);
    ~TfAuthForm() override;

    // Translates the form, runs it modally inside EnterModal/LeaveModal and returns whether it was
    // closed with OK.
    bool RunDialog();

    // Event handlers, also called directly by tests. genbtClick may throw (a reply that is not JSON,
    // a registration error without its message); the button's slot shows such errors.
    void FormCreate();
    void genbtClick();
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kMinimumPasswordLength = 6;

    void onGenbtClicked();
    // Runs an event handler and shows any error it throws in a message box.
    void runHandler(const std::function<void()>& handler);
    // The registration step's button: checks the two passwords, then creates the account.
    void registerAccount();
    // Balloon with the first line `firstLine` and the hotkey tip, settings saved, dialog accepted.
    void finishSignIn(const TextKey& firstLine);
    void showMessage(const std::string& text);
    // The text of `key` in the dialog's own section.
    void setEmailFixed(bool fixed);
    // Shows who is signed in, or hides the panel when no account is stored.
    void showSignedIn();
    // Sizes the dialog to its shown panels.
    void fitToPanels();

    DialogContext& m_context;
    TConfStore& m_conf;
    ServiceClient& m_service;
    platform::DesktopShell& m_shell;
    TrayBalloon& m_tray;
    std::unique_ptr<Ui::TfAuthForm> m_ui;
    QPalette m_emailPalette;
};

} // namespace tern
