#include "ShellTestSupport.h"

#include "notify/Balloon.h"
#include "service/PasswordDigest.h"
#include "support/RecordingHttpServer.h"
#include "support/ServerProcess.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tern::test {

namespace {

std::unique_ptr<ServiceProcess> g_service;

// A socket bound to a free loopback port; its port through `port`.
int BindLoopback(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("bind");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Runs the tern tool to its end with its own settings folder; throws when it fails.
void RunTool(const TempFolder& home, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(home.path()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(home.file("config")));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(home.file("data")));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(TERN_BIN_DIR "/tern"), arguments);
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        throw std::runtime_error("tern " + arguments.join(' ').toStdString() +
                                 " failed: " + tool.readAllStandardError().toStdString());
}

} // namespace

std::string SharedServiceHost()
{
    if (!g_service)
        g_service = std::make_unique<ServiceProcess>();
    if (g_service->address().empty()) {
        const std::string printed = g_service->startLine();
        g_service.reset(); // the next test tries again
        throw std::runtime_error("tern-server printed no address: " + printed);
    }
    return g_service->address();
}

void StopSharedService()
{
    if (!g_service)
        return;
    g_service->terminate();
    g_service.reset();
}

Account RegisterFreshAccount(const std::string& host)
{
    static int counter = 0;
    ++counter;
    const std::string email =
        "user" + std::to_string(counter) + "-" + std::to_string(::getpid()) + "@example.org";
    const std::string password = "pass-" + std::to_string(counter);
    const TempFolder home;
    RunTool(home, {"config", "set", "ServiceHost", QString::fromStdString(host)});
    RunTool(home, {"register", QString::fromStdString(email)}, QByteArray::fromStdString(password + "\n"));
    return {email, PasswordDigest(password)};
}

std::string ClosedServiceHost()
{
    int port = 0;
    ::close(BindLoopback(port));
    return "http://127.0.0.1:" + std::to_string(port);
}

std::string HtmlPageReply()
{
    return RecordingHttpServer::Response(
        "200 OK", "<!DOCTYPE html><html><body><h1>Welcome to the hotel network</h1></body></html>",
        "text/html");
}

BalloonRecorder::BalloonRecorder()
{
    GetBalloon().installEventFilter(this);
}

BalloonRecorder::~BalloonRecorder()
{
    HideBalloon();
    GetBalloon().removeEventFilter(this);
}

bool BalloonRecorder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        const auto* balloon = static_cast<TBalloon*>(watched);
        const auto caption = [](const QPushButton* button) {
            return button->isHidden() ? QString() : button->text();
        };
        shown.push_back(
            {balloon->TitleLabel()->text(), balloon->TextLabel()->text(), balloon->IconName(),
             caption(balloon->Button1()), caption(balloon->Button2()),
             balloon->TimeLeftLabel()->isHidden() ? QString() : balloon->TimeLeftLabel()->text()});
    }
    return false;
}

namespace {

// The balloon without GetBalloon(), which would hide and reset it.
TBalloon* FindBalloon()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* balloon = qobject_cast<TBalloon*>(widget))
            return balloon;
    }
    return nullptr;
}

} // namespace

bool BalloonRecorder::visible() const
{
    const TBalloon* balloon = FindBalloon();
    return balloon && balloon->isVisible();
}

void BalloonRecorder::click(int button) const
{
    TBalloon* balloon = FindBalloon();
    ASSERT_NE(balloon, nullptr);
    QPushButton* pushed = button == 1 ? balloon->Button1() : balloon->Button2();
    ASSERT_FALSE(pushed->isHidden()) << "balloon button " << button << " is not shown";
    pushed->click();
}

ShellHarness::ShellHarness() : ShellHarness(Options{}) {}

ShellHarness::ShellHarness(const Options& options)
{
    ProgramFolders folders = installUnder(folder, "program/");
    std::filesystem::create_directories(folders.data);
    if (!options.connectionProblemText.empty()) {
        const std::string copy = folders.languages + "english.lng";
        std::stringstream text;
        text << std::ifstream(copy, std::ios::binary).rdbuf();
        std::string language = text.str();
        const std::size_t at = language.find("mConnectProb=");
        const std::size_t end = language.find('\n', at);
        language.replace(at, end - at,
                         "mConnectProb=" + options.connectionProblemText +
                             (language[end - 1] == '\r' ? "\r" : ""));
        std::ofstream(copy, std::ios::binary | std::ios::trunc) << language;
    }

    // The service allows few registrations from one address, so the tests of a process share one account;
    // every test that pastes uploads its own content first.
    const std::string host = SharedServiceHost();
    static const Account shared = RegisterFreshAccount(host);
    account = shared;
    settings.values[{"Main", "Login"}] = account.email;
    settings.values[{"Main", "Password"}] = account.passwordValue;
    settings.values[{"Main", "ServiceHost"}] = options.serviceHost.empty() ? host : options.serviceHost;
    settings.values[{"Main", "CheckUpdates"}] = "0";
    settings.values[{"Main", "DisableRemote"}] = options.disableRemote ? "1" : "0";
    hotkeys.taken = options.takenHotkeys;
    hotkeys.unavailable = options.hotkeysUnavailable;

    m_program = std::make_unique<TrayProgram>(services, std::move(folders));
    form().Start();
}

ShellHarness::~ShellHarness()
{
    m_program.reset();
}

std::string ShellHarness::text(const char* section, const char* key) const
{
    return m_program->loader().GetText(section, key);
}

QString ShellHarness::shownText(const char* section, const char* key) const
{
    QString shown = QString::fromStdString(text(section, key));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

QString ShellHarness::connectionProblemText() const
{
    return shownText("FAUTHFORM", "mConnectProb")
        .replace(QLatin1String("%s"), QString::fromStdString(m_program->loader().conf().ServiceHost));
}

QString ShellHarness::linkStoredText() const
{
    return shownText("GLOBAL", "mLinkStored")
        .replace(QLatin1String("%s"), QString::fromStdString(m_program->shares().LastLink()));
}

std::string ShellHarness::lastSnapshotPath() const
{
    return m_program->shares().LastSnapshotPath();
}

void ShellHarness::trigger(const char* action)
{
    QAction* chosen = form().action(QString::fromLatin1(action));
    ASSERT_NE(chosen, nullptr) << action;
    const bool running = form().dispatcher().state() == CommandDispatcher::State::Running;
    chosen->trigger();
    if (!running)
        settle();
}

void ShellHarness::click(int button)
{
    balloons.click(button);
    settle();
}

void ShellHarness::settle()
{
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return form().dispatcher().state() != CommandDispatcher::State::Running; }, 20000))
        << "the command did not end";
}

void ShellHarness::settleWait()
{
    EXPECT_TRUE(QTest::qWaitFor(
        [this] {
            const CommandDispatcher::State state = form().dispatcher().state();
            return state != CommandDispatcher::State::Running && state != CommandDispatcher::State::ShareWait;
        },
        40000))
        << "the wait did not end";
}

void ShellHarness::copyPuts(std::vector<platform::ClipboardEntry> entries)
{
    keys.onSend = [this, entries = std::move(entries)](std::uint16_t key) {
        if (key == 'C')
            clipboard.set(entries);
    };
}

} // namespace tern::test
