#include "service/ui/AuthForm.h"

#include "DialogScreenshot.h"
#include "LoaderOverFakes.h"

#include "notify/Balloon.h"
#include "notify/TrayBalloon.h"
#include "service/PasswordDigest.h"
#include "support/RecordingHttpServer.h"
#include "support/ServerProcess.h"
#include "util/Errors.h"
#include "util/TextRoutines.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tern {
namespace {

using test::LoaderOverFakes;

enum class Step { Email, Register, Login };

const char* const kEmail = "ann@example.org";
const char* const kValidatePath = "/index.php/auth/validate";
const char* const kRegisterPath = "/index.php/auth/register";

// The balloon after a sign-in, near the corner of the screen (the tests have no tray).
Notifier& TestNotifier()
{
    static BalloonNotifier notifier;
    return notifier;
}

// The account dialog as the user sees it, driven through its handlers and its widgets.
class AuthFormDriver
{
public:
    explicit AuthFormDriver(TLoader& loader)
        : form(loader, loader.conf(), loader.transport(), loader.services().shell, TestNotifier())
    {
        loader.TranslateForm(&form);
    }

    template <typename Widget> Widget* child(const char* name)
    {
        auto* widget = form.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QString button() { return child<QPushButton>("genbt")->text(); }
    Step step()
    {
        EXPECT_FALSE(!child<QWidget>("pReg")->isHidden() && !child<QWidget>("pCont")->isHidden());
        if (!child<QWidget>("pReg")->isHidden())
            return Step::Register;
        return child<QWidget>("pCont")->isHidden() ? Step::Email : Step::Login;
    }
    void type(const char* name, const std::string& text)
    {
        edit(name)->setText(QString::fromStdString(text));
    }
    // Presses the button as the user does (errors are shown, never thrown) and waits for the reply
    // of the request it started.
    void press()
    {
        child<QPushButton>("genbt")->click();
        settle();
    }
    void settle()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form.requestRunning(); }, 20000));
    }
    void clickLink(const char* name)
    {
        QLabel* link = child<QLabel>(name);
        const QPointF inside(2, 2);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, link->mapToGlobal(inside), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(link, &release);
    }
    void key(const char* target, Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(child<QWidget>(target), &press);
        settle();
    }

    TfAuthForm form;
};

class AuthFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_service.address().empty()) << "tern-server did not start";
        desktop.loader().conf().Apply({.ServiceHost = m_service.address()});
    }

    std::string text(const char* key) { return desktop.text("FAUTHFORM", key); }
    QString global(const char* key) { return QString::fromStdString(desktop.text("GLOBAL", key)); }

    // Every message box so far had the dialog's caption, the error icon and one OK button, and showed
    // `texts` in this order. Forgets them.
    void expectMessages(const std::vector<std::string>& texts)
    {
        EXPECT_EQ(desktop.messageTexts(), texts);
        for (const auto& shown : desktop.messageBoxes.shown) {
            EXPECT_EQ(shown.caption, "Tern Clipboard");
            EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
            EXPECT_EQ(shown.buttons, platform::MessageButtons::Ok);
        }
        desktop.messageBoxes.shown.clear();
    }

    // Creates the account on the service as another computer would.
    void registerElsewhere(const std::string& email, const std::string& password)
    {
        LoaderOverFakes elsewhere;
        elsewhere.loader().conf().Apply({.ServiceHost = m_service.address()});
        ASSERT_EQ(elsewhere.loader().service().RegisterAccount(email, PasswordDigest(password)),
                  std::nullopt);
        elsewhere.loader().conf().SaveOnDestroy = false;
    }

    std::string storedSetting(const char* section, const char* name)
    {
        const auto value = desktop.settings.value(section, name);
        return value ? *value : "<none>";
    }

    void stopService() { m_service.stop(); }

    LoaderOverFakes desktop;

private:
    test::ServiceProcess m_service;
};

TEST_F(AuthFormTest, StartsOnTheEmailStepTranslatedWithTheStoredLogin)
{
    desktop.loader().conf().Apply({.Login = "old@example.org"});
    AuthFormDriver dialog(desktop.loader());
    EXPECT_EQ(dialog.form.objectName(), "fAuthForm");
    EXPECT_EQ(dialog.form.windowTitle(), "Tern Clipboard - Account");
    EXPECT_EQ(dialog.child<QLabel>("lbEnterLogin")->text(), "Your e-mail address:");
    EXPECT_EQ(dialog.child<QLabel>("lf1")->text(), "Forgot your password?");
    EXPECT_EQ(dialog.child<QLabel>("lu1")->text(), "Use another e-mail address");
    EXPECT_EQ(dialog.button(), global("bContinue"));
    EXPECT_TRUE(dialog.child<QPushButton>("genbt")->isDefault());
    EXPECT_EQ(dialog.step(), Step::Email);
    EXPECT_TRUE(dialog.child<QProgressBar>("pb")->isHidden());
    EXPECT_EQ(dialog.edit("emladdr")->text(), "old@example.org");
    EXPECT_TRUE(dialog.edit("emladdr")->isEnabled());
    EXPECT_EQ(dialog.edit("pass")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.form.width(), 325);
}

TEST_F(AuthFormTest, NewAddressRegistersWithMismatchCheckedBeforeTheSixCharacterRule)
{
    AuthFormDriver dialog(desktop.loader());
    const int emailStepHeight = dialog.form.height();
    dialog.type("emladdr", kEmail);
    dialog.press();
    expectMessages({});
    ASSERT_EQ(dialog.step(), Step::Register);
    EXPECT_EQ(dialog.button(), global("bRegister"));
    EXPECT_FALSE(dialog.edit("emladdr")->isEnabled());
    EXPECT_EQ(dialog.form.focusWidget(), dialog.edit("pass"));
    EXPECT_GT(dialog.form.height(), emailStepHeight);
    EXPECT_EQ(dialog.form.width(), 325);

    // Too short and different: the difference is reported.
    dialog.type("pass", "abcde");
    dialog.type("passr", "abcdE");
    dialog.press();
    expectMessages({text("mPasswordMis")});
    dialog.type("passr", "abcde");
    dialog.press();
    expectMessages({SubstituteArgument(text("mPasswordShort"), "6")});
    EXPECT_EQ(dialog.step(), Step::Register);
    EXPECT_EQ(desktop.loader().service().ValidateEmail(kEmail, nullptr), "unregistered")
        << "nothing was sent";

    TBalloon& balloon = GetBalloon();
    dialog.type("pass", "abcdef");
    dialog.type("passr", "abcdef");
    dialog.press();
    expectMessages({});
    EXPECT_EQ(dialog.form.result(), QDialog::Accepted);
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.TextLabel()->text().toStdString(),
              text("mAccRegistered") + "\nPress Shift+Ctrl+Y to open the Tern Clipboard menu anywhere.");
    EXPECT_EQ(balloon.TitleLabel()->text(), "Tern Clipboard");
    EXPECT_EQ(balloon.HideTimer()->interval(), 10000);
    EXPECT_EQ(desktop.loader().conf().Login, kEmail);
    EXPECT_EQ(desktop.loader().conf().Password, PasswordDigest("abcdef"));
    EXPECT_EQ(storedSetting("Main", "Login"), kEmail);
    EXPECT_EQ(storedSetting("Main", "Password"), PasswordDigest("abcdef"));
    EXPECT_EQ(desktop.loader().service().ValidateEmail(kEmail, nullptr), "validated");
}

TEST_F(AuthFormTest, KnownAddressSignsInAndARefusedPasswordKeepsTheWorkingSignIn)
{
    registerElsewhere(kEmail, "right horse");
    desktop.loader().conf().Apply({.Login = kEmail});
    desktop.loader().conf().Apply({.Password = "previous value"});
    desktop.loader().conf().Apply({.MainKey = 0x8000 | 0x4000 | 0x70}); // Ctrl+Alt+F1
    AuthFormDriver dialog(desktop.loader());
    dialog.press();
    ASSERT_EQ(dialog.step(), Step::Login);
    EXPECT_EQ(dialog.button(), global("bLogin"));
    EXPECT_FALSE(dialog.edit("emladdr")->isEnabled());
    EXPECT_EQ(dialog.form.focusWidget(), dialog.edit("passl"));

    // One mistyped password: the account signed in before stays signed in, in memory and stored.
    dialog.type("passl", "wrong horse");
    dialog.press();
    expectMessages({text("mLoginFailed")});
    EXPECT_EQ(dialog.step(), Step::Login);
    EXPECT_EQ(dialog.edit("passl")->text(), "");
    EXPECT_EQ(dialog.form.focusWidget(), dialog.edit("passl"));
    EXPECT_EQ(dialog.form.result(), QDialog::Rejected);
    EXPECT_EQ(desktop.loader().conf().Login, kEmail);
    EXPECT_EQ(desktop.loader().conf().Password, "previous value");
    EXPECT_EQ(desktop.settings.commitCount, 0);

    TBalloon& balloon = GetBalloon();
    dialog.type("passl", "right horse");
    dialog.press();
    expectMessages({});
    EXPECT_EQ(dialog.form.result(), QDialog::Accepted);
    EXPECT_EQ(balloon.TextLabel()->text().toStdString(),
              text("mLoginOk") + "\nPress Ctrl+Alt+F1 to open the Tern Clipboard menu anywhere.");
    EXPECT_EQ(storedSetting("Main", "Login"), kEmail);
    EXPECT_EQ(storedSetting("Main", "Password"), PasswordDigest("right horse"));
}

TEST_F(AuthFormTest, ShowsWhoIsSignedInKeepsThemThroughAFailedAttemptAndSignsOut)
{
    registerElsewhere(kEmail, "right horse");
    desktop.loader().conf().Apply({.Login = kEmail});
    desktop.loader().conf().Apply({.Password = PasswordDigest("right horse")});
    {
        AuthFormDriver dialog(desktop.loader());
        dialog.form.show();
        EXPECT_TRUE(dialog.child<QWidget>("pSigned")->isVisible());
        EXPECT_EQ(dialog.child<QLabel>("lbSignedIn")->text().toStdString(),
                  "Signed in as " + std::string(kEmail));
        EXPECT_EQ(dialog.child<QLabel>("lSignOut")->text(), "Sign out");
        EXPECT_EQ(dialog.form.width(), 325);

        // Another address, a wrong password, then Escape: the account signed in before is kept.
        registerElsewhere("bob@example.org", "bobs horse");
        dialog.type("emladdr", "bob@example.org");
        dialog.press();
        ASSERT_EQ(dialog.step(), Step::Login);
        dialog.type("passl", "not bobs horse");
        dialog.press();
        expectMessages({text("mLoginFailed")});
        dialog.key("passl", Qt::Key_Escape);
        EXPECT_EQ(dialog.form.result(), QDialog::Rejected);
    }
    EXPECT_EQ(desktop.loader().conf().Login, kEmail);
    EXPECT_EQ(desktop.loader().conf().Password, PasswordDigest("right horse"));
    EXPECT_EQ(desktop.loader().service().ValidateEmail(kEmail, nullptr), "validated");

    // Signing out forgets and saves the account at once; the dialog stays open on the e-mail step.
    AuthFormDriver dialog(desktop.loader());
    dialog.form.show();
    dialog.form.ShowLoginStep();
    QLabel* signOut = dialog.child<QLabel>("lSignOut");
    const QPointF inside(2, 2);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, inside, signOut->mapToGlobal(inside), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(signOut, &event);
    }
    expectMessages({});
    EXPECT_EQ(desktop.loader().conf().Login, "");
    EXPECT_EQ(desktop.loader().conf().Password, "");
    EXPECT_EQ(storedSetting("Main", "Login"), "");
    EXPECT_EQ(storedSetting("Main", "Password"), "");
    EXPECT_FALSE(dialog.child<QWidget>("pSigned")->isVisible());
    EXPECT_TRUE(dialog.form.isVisible());
    EXPECT_EQ(dialog.step(), Step::Email);
    EXPECT_EQ(dialog.edit("emladdr")->text(), kEmail);
    EXPECT_TRUE(dialog.edit("emladdr")->isEnabled());

    // Without a stored password value nobody counts as signed in.
    desktop.loader().conf().Apply({.Login = kEmail});
    AuthFormDriver anonymous(desktop.loader());
    EXPECT_TRUE(anonymous.child<QWidget>("pSigned")->isHidden());
}

TEST_F(AuthFormTest, InvalidAddressAndAnUnreachableServiceAreReportedPerStep)
{
    AuthFormDriver dialog(desktop.loader());
    dialog.type("emladdr", "not an address");
    dialog.press();
    expectMessages({text("mInvalidEmail")});
    EXPECT_EQ(dialog.step(), Step::Email);

    dialog.type("emladdr", kEmail);
    dialog.press();
    ASSERT_EQ(dialog.step(), Step::Register);
    stopService();
    dialog.type("pass", "abcdef");
    dialog.type("passr", "abcdef");
    // Every step says what went wrong, never that the password is wrong.
    const std::string noConnection =
        SubstituteArgument(text("mConnectProb"), desktop.loader().conf().ServiceHost) + " (NoConnection)";
    dialog.press();
    expectMessages({noConnection});
    EXPECT_EQ(dialog.step(), Step::Register);
    EXPECT_EQ(desktop.loader().conf().Login, "");

    dialog.form.ShowLoginStep();
    dialog.type("passl", "abcdef");
    dialog.press();
    expectMessages({noConnection});

    dialog.form.lu2Click();
    dialog.press();
    expectMessages({noConnection});
    EXPECT_EQ(dialog.step(), Step::Email);
    EXPECT_EQ(desktop.settings.commitCount, 0);
}

TEST_F(AuthFormTest, CancellingAfterValidationStoresNothingAndEnterPressesTheButton)
{
    registerElsewhere(kEmail, "right horse");
    AuthFormDriver dialog(desktop.loader());
    dialog.form.show();
    dialog.type("emladdr", kEmail);
    dialog.key("emladdr", Qt::Key_Return);
    ASSERT_EQ(dialog.step(), Step::Login);
    dialog.type("passl", "right horse");
    dialog.key("passl", Qt::Key_Escape);
    EXPECT_EQ(dialog.form.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.form.isVisible());
    EXPECT_EQ(desktop.loader().conf().Login, "");
    EXPECT_EQ(desktop.loader().conf().Password, "");
    EXPECT_TRUE(desktop.settings.values.empty());
    expectMessages({});
}

TEST_F(AuthFormTest, ReloginLinksReturnToTheEmailStepKeepingThePasswords)
{
    AuthFormDriver dialog(desktop.loader());
    const QColor fieldColour = dialog.edit("emladdr")->palette().color(QPalette::Base);
    dialog.type("emladdr", kEmail);
    dialog.press();
    ASSERT_EQ(dialog.step(), Step::Register);
    EXPECT_NE(dialog.edit("emladdr")->palette().color(QPalette::Base), fieldColour);
    dialog.type("pass", "abc");
    dialog.type("passr", "abd");
    dialog.clickLink("lu2");
    EXPECT_EQ(dialog.step(), Step::Email);
    EXPECT_EQ(dialog.button(), global("bContinue"));
    EXPECT_TRUE(dialog.edit("emladdr")->isEnabled());
    EXPECT_EQ(dialog.edit("emladdr")->palette().color(QPalette::Base), fieldColour);
    EXPECT_EQ(dialog.form.focusWidget(), dialog.edit("emladdr"));
    EXPECT_EQ(dialog.edit("pass")->text(), "abc");
    EXPECT_EQ(dialog.edit("passr")->text(), "abd");

    dialog.form.ShowLoginStep();
    dialog.clickLink("lu1");
    EXPECT_EQ(dialog.step(), Step::Email);
    expectMessages({});
}

TEST_F(AuthFormTest, ForgottenPasswordLinkOpensTheEscapedAddressAndKeepsTheDialogOpen)
{
    AuthFormDriver dialog(desktop.loader());
    dialog.form.show();
    dialog.type("emladdr", "a b+c&d@example.org");
    dialog.form.ShowLoginStep();
    dialog.clickLink("lf1");
    const std::string target =
        desktop.loader().conf().ServiceHost + "/start/forgot.html?email=a%20b%2Bc%26d@example.org";
    EXPECT_EQ(desktop.shell.openedTargets, std::vector<std::string>{target});
    EXPECT_TRUE(dialog.form.isVisible());
    expectMessages({});

    desktop.shell.openSucceeds = false;
    dialog.clickLink("lf1");
    // The report shows the address without its query.
    EXPECT_EQ(desktop.messageTexts(),
              std::vector<std::string>{"Unable to open target: \"" + desktop.loader().conf().ServiceHost +
                                       "/start/forgot.html\""});
    EXPECT_TRUE(dialog.form.isVisible());
}

TEST_F(AuthFormTest, RunDialogBracketsTheModalRunAndReportsHowItClosed)
{
    TLoader& loader = desktop.loader();
    TfAuthForm form(loader, loader.conf(), loader.transport(), loader.services().shell, TestNotifier());
    int modalCountInside = -1;
    QString titleInside;
    QTimer::singleShot(0, &form, [&] {
        modalCountInside = loader.ModalCount();
        titleInside = form.windowTitle();
        form.accept();
    });
    EXPECT_TRUE(form.RunDialog());
    EXPECT_EQ(modalCountInside, 1);
    EXPECT_EQ(titleInside, "Tern Clipboard - Account");
    EXPECT_EQ(loader.ModalCount(), 0);

    QTimer::singleShot(0, &form, [&] { form.reject(); });
    EXPECT_FALSE(form.RunDialog());
    EXPECT_EQ(loader.ModalCount(), 0);
}

// ---- replies the reference service never gives

// A service on loopback that answers each POST path with a body the test sets, after an optional
// delay: for replies the reference service never gives (unknown statuses, text that is not JSON). A
// path without a body gets an empty reply.
class AuthFormScriptedTest : public ::testing::Test
{
protected:
    void SetUp() override { desktop.loader().conf().Apply({.ServiceHost = service.base()}); }

    // `path` as the client requests it, e.g. "/index.php/auth/validate".
    void answer(const std::string& path, const std::string& body)
    {
        const std::lock_guard lock(m_mutex);
        m_bodies[path] = body;
    }
    void setDelay(std::chrono::milliseconds delay)
    {
        const std::lock_guard lock(m_mutex);
        m_delay = delay;
    }
    std::size_t requestCount(const std::string& path) const
    {
        const std::vector<std::string> requests = service.requests();
        return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(),
                                                      [&](const auto& r) { return RequestPath(r) == path; }));
    }

    // The path of the request line "POST /path?query HTTP/1.1".
    static std::string RequestPath(const std::string& request)
    {
        const std::size_t start = request.find(' ') + 1;
        return request.substr(start, request.find_first_of(" ?", start) - start);
    }
    std::string reply(const std::string& request)
    {
        std::string body;
        std::chrono::milliseconds delay{0};
        {
            const std::lock_guard lock(m_mutex);
            const auto found = m_bodies.find(RequestPath(request));
            if (found != m_bodies.end())
                body = found->second;
            delay = m_delay;
        }
        // A slow service, as seen from the client; this runs on the server's own thread.
        std::this_thread::sleep_for(delay);
        return test::RecordingHttpServer::Response("200 OK", body, "text/html");
    }

    std::mutex m_mutex;
    std::map<std::string, std::string> m_bodies;
    std::chrono::milliseconds m_delay{0};
    LoaderOverFakes desktop;
    // Last, so that it stops before what its replies read goes away.
    test::RecordingHttpServer service{[this](const std::string& request) { return reply(request); }};
};

TEST_F(AuthFormScriptedTest, UnknownStatusChangesNothing)
{
    answer(kValidatePath, R"({"status":"maybe"})");
    AuthFormDriver dialog(desktop.loader());
    dialog.type("emladdr", kEmail);
    dialog.press();
    EXPECT_EQ(requestCount(kValidatePath), 1U);
    EXPECT_EQ(dialog.step(), Step::Email);
    EXPECT_EQ(dialog.button(), "Continue");
    EXPECT_TRUE(dialog.edit("emladdr")->isEnabled());
    EXPECT_TRUE(desktop.messageBoxes.shown.empty());
}

TEST_F(AuthFormScriptedTest, ErrorsOfTheReplyAreShownAndTheDialogStaysInItsStep)
{
    answer(kValidatePath, "<html>busy</html>");
    AuthFormDriver dialog(desktop.loader());
    dialog.type("emladdr", kEmail);
    dialog.press();
    ASSERT_EQ(desktop.messageBoxes.shown.size(), 1U);
    EXPECT_FALSE(desktop.messageBoxes.shown[0].text.empty());
    EXPECT_EQ(desktop.messageBoxes.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(dialog.step(), Step::Email);
    EXPECT_TRUE(dialog.child<QProgressBar>("pb")->isHidden());

    // An error reply to the registration without its message.
    answer(kValidatePath, R"({"status":"unregistered"})");
    answer(kRegisterPath, R"({"status":"error"})");
    dialog.press();
    ASSERT_EQ(dialog.step(), Step::Register);
    dialog.type("pass", "abcdef");
    dialog.type("passr", "abcdef");
    dialog.press();
    EXPECT_EQ(requestCount(kRegisterPath), 1U);
    EXPECT_EQ(desktop.messageBoxes.shown.size(), 2U);
    EXPECT_EQ(dialog.step(), Step::Register);
    EXPECT_EQ(dialog.form.result(), QDialog::Rejected);
    EXPECT_EQ(desktop.loader().conf().Login, "");
}

TEST_F(AuthFormScriptedTest, ProgressBarRunsOnlyWhileTheAddressIsChecked)
{
    answer(kValidatePath, R"({"status":"unregistered"})");
    setDelay(std::chrono::milliseconds(450));
    AuthFormDriver dialog(desktop.loader());
    QProgressBar* bar = dialog.child<QProgressBar>("pb");
    EXPECT_EQ(bar->maximum(), 10);
    std::vector<int> positions;
    bool shownDuringRequest = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        positions.push_back(value);
        shownDuringRequest = shownDuringRequest || !bar->isHidden();
    });
    dialog.type("emladdr", kEmail);
    dialog.press();
    EXPECT_EQ(dialog.step(), Step::Register);
    EXPECT_TRUE(shownDuringRequest);
    EXPECT_GE(positions.size(), 3U);
    EXPECT_TRUE(bar->isHidden());

    // The registration runs without the bar.
    positions.clear();
    dialog.type("pass", "abcdef");
    dialog.type("passr", "abcdef");
    dialog.press();
    EXPECT_TRUE(positions.empty());
}

TEST_F(AuthFormTest, ScreenshotsOfEachStep)
{
    AuthFormDriver dialog(desktop.loader());
    dialog.form.show();
    dialog.type("emladdr", kEmail);
    const auto shoot = [&](const char* name) {
        QCoreApplication::processEvents();
        test::SaveScreenshot(dialog.form, name);
        EXPECT_EQ(dialog.form.width(), 325);
        return dialog.form.height();
    };
    const int emailHeight = shoot("auth-email-step.png");
    dialog.form.ShowRegisterStep();
    const int registerHeight = shoot("auth-register-step.png");
    dialog.form.ShowLoginStep();
    const int loginHeight = shoot("auth-login-step.png");
    EXPECT_LT(emailHeight, loginHeight);
    EXPECT_LE(loginHeight, registerHeight);

    desktop.loader().conf().Apply({.Login = kEmail});
    desktop.loader().conf().Apply({.Password = PasswordDigest("right horse")});
    AuthFormDriver signedIn(desktop.loader());
    signedIn.form.show();
    QCoreApplication::processEvents();
    test::SaveScreenshot(signedIn.form, "auth-signed-in.png");
    EXPECT_EQ(signedIn.form.width(), 325);
    EXPECT_GT(signedIn.form.height(), emailHeight);
}

} // namespace
} // namespace tern
