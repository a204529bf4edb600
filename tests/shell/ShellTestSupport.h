#pragma once

#include "shell/CommandDispatcher.h"
#include "shell/TrayProgram.h"
#include "support/FakeShellServices.h"
#include "support/TempFolder.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// Failure messages show QStrings as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tern::test {

// The reference service, started once per test process as a child on a free loopback port; its
// address ("http://127.0.0.1:PORT"). Throws when it does not start.
std::string SharedServiceHost();
// Ends the shared service (main() calls it after the tests).
void StopSharedService();

struct Account
{
    std::string email;
    std::string passwordValue;
};
// Creates a new account on the service at `host` through the tern tool; throws on failure.
Account RegisterFreshAccount(const std::string& host);

// A loopback address at which nothing listens.
std::string ClosedServiceHost();

// The whole reply of a page that is not the service's, as a captive portal or a proxy error page
// gives: a RecordingHttpServer made with it answers every request with HTML.
std::string HtmlPageReply();

// What one showing of the balloon held.
struct BalloonShown
{
    QString title;
    QString text;
    QString icon;    // INFO, ERROR or WARNING
    QString button1; // empty: no button
    QString button2;
    QString timeLeft; // the countdown line under the message; empty: none
};

// Records every showing of the process's balloon.
class BalloonRecorder : public QObject
{
public:
    BalloonRecorder();
    ~BalloonRecorder() override;
    BalloonRecorder(const BalloonRecorder&) = delete;
    BalloonRecorder& operator=(const BalloonRecorder&) = delete;

    std::vector<BalloonShown> shown;
    // Whether the balloon is on screen now.
    bool visible() const;
    // Presses a button of the balloon on screen.
    void click(int button) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The tray controller over fake services: temporary program and data folders with a copy of
// english.lng, settings in memory signed in to the process's account on the shared service.
class ShellHarness : public FakeShellServices
{
public:
    struct Options
    {
        bool disableRemote = false;
        // Shortcut values another program holds.
        std::set<std::uint16_t> takenHotkeys;
        // Non-empty: the session lets no program have a hotkey, for this reason.
        std::string hotkeysUnavailable;
        // Replaces the value of FAUTHFORM/mConnectProb in the language file copy.
        std::string connectionProblemText;
        // Overrides the service address (the account is still made on the shared service).
        std::string serviceHost;
    };

    ShellHarness();
    explicit ShellHarness(const Options& options);
    ~ShellHarness();
    ShellHarness(const ShellHarness&) = delete;
    ShellHarness& operator=(const ShellHarness&) = delete;

    TfInit& form() { return m_program->form(); }
    TLoader& loader() { return m_program->loader(); }
    Shares& shares() { return m_program->shares(); }
    std::string text(const char* section, const char* key) const;
    // The language text as the balloon shows it (line breaks as LF).
    QString shownText(const char* section, const char* key) const;
    // The connection-problem text naming the service address, and the shared-link text naming the
    // last link, as the balloon shows them.
    QString connectionProblemText() const;
    QString linkStoredText() const;
    std::string lastSnapshotPath() const;
    // Runs the action's handler as a menu choice does; when no command ran before, waits (bounded)
    // until the command it started has ended.
    void trigger(const char* action);
    // Presses a button of the balloon on screen and waits as trigger() does.
    void click(int button);
    // Serves events until no command runs (at most 20 seconds).
    void settle();
    // Serves events until neither the Share Clipboard wait nor a command runs (at most 40 seconds).
    void settleWait();

    // Makes the next Ctrl+C put `entries` on the clipboard, as the window in front would.
    void copyPuts(std::vector<platform::ClipboardEntry> entries);

    TempFolder folder;
    Account account;
    BalloonRecorder balloons;

private:
    std::unique_ptr<TrayProgram> m_program;
};

} // namespace tern::test
