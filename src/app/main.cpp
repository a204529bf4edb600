#include "RemoteCommandOptions.h"
#include "StartOptions.h"
#include "notify/Balloon.h"
#include "platform/HeadlessServices.h"
#include "platform/PlatformFactory.h"
#include "platform/RunningCopy.h"
#include "platform/SessionEvents.h"
#include "shell/ProgramFolders.h"
#include "shell/TrayProgram.h"
#include "ui/AboutLogo.h"
#include "ui/EventWait.h"
#include "ui/QtMessageBoxes.h"
#include "ui/QtSystemTray.h"
#include "util/ProductName.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <iostream>

namespace {

constexpr const char* kInstanceName = "TernClipboard_started_already";
// How long a command option waits for the running copy's answer.
constexpr int kRemoteAnswerTimeoutMs = 5000;

} // namespace

int main(int argc, char** argv)
{
    if (const auto exitCode = tern::AnswerStartOptions({argv + 1, argv + argc}, std::cout))
        return *exitCode;
    // The options for the running copy are sent before anything of the GUI starts.
    const auto sendToRunningCopy = [](std::uint32_t message, std::int64_t wParam, std::int64_t lParam) {
        return tern::platform::SendToRunningCopy(tern::platform::kMainWindowTitle, message, wParam, lParam,
                                                 kRemoteAnswerTimeoutMs);
    };
    if (const auto exitCode =
            tern::AnswerRemoteCommandOptions({argv + 1, argv + argc}, std::cerr, sendToRunningCopy))
        return *exitCode;
    // Without a reachable display the GUI toolkit would abort; one clear line is better.
    if (const std::string reason = tern::platform::DesktopUnreachableReason(); !reason.empty()) {
        std::cerr << "tern-clipboard: " << reason << '\n';
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(tern::kProductName));
    // The desktop entry and the icon theme know the program by its desktop identifier; run from its
    // build folder, the windows show the same mark from the program's own pictures.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(tern::kDesktopId));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromUtf8(tern::kDesktopId), tern::ProductLogo()));
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace tern;
    // A termination request ends the program through its normal shutdown, also while the start-up
    // dialogs run.
    TfInit* running = nullptr;
    const auto quit = [&running] {
        if (running)
            running->Terminate();
        // exit() rather than quit(): it also ends the loop of a dialog that is open.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    };
    platform::InstallSessionEndHandler(quit);
    // Opening an address waits a few seconds for the browser's verdict; the interface stays alive.
    auto shell = platform::CreateDesktopShell(
        [](std::chrono::milliseconds timeout, const std::function<bool()>& done) {
            return ui::waitServingEvents(QDeadlineTimer(timeout), done, std::chrono::milliseconds(50));
        });
    auto settings = platform::CreateSettingsBackend();
    auto clipboard = platform::CreateSystemClipboard();
    auto hotkeys = platform::CreateGlobalHotkeys();
    auto keys = platform::CreateKeyInjector();
    auto focus = platform::CreateWindowFocus();
    auto screen = platform::CreateScreenCapture();
    auto trayClicks = platform::CreateTrayIconClicks();
    auto instance = platform::CreateSingleInstance();
    auto remote = platform::CreateRemoteControl();
    ui::QtMessageBoxes messageBoxes;
    ui::QtSystemTray tray;

    // Set up before the single-instance check, so a second copy creates the folders too.
    CreateBalloon();
    ProgramFolders folders = ProgramFolders::resolveAndCreate(*shell);

    if (!instance->acquire(kInstanceName)) {
        messageBoxes.show(std::string(kProductName) + " started already.", kProductName,
                          platform::MessageIcon::Warning, platform::MessageButtons::Ok);
        DestroyBalloon();
        return 0;
    }

    // The quit message and the requests for the hotkey menu and its commands are answered from here on.
    remote->listen(platform::kMainWindowTitle,
                   [quit, &running](std::uint32_t message, std::int64_t wParam, std::int64_t lParam) {
                       using platform::kCommandMessage;
                       using platform::kQuitMessage;
                       if (message == kCommandMessage && lParam == kCommandMessage) {
                           const auto answer = running ? running->RunRemoteCommand(wParam)
                                                       : platform::RemoteCommandAnswer::Busy;
                           return static_cast<std::int64_t>(answer);
                       }
                       if (message != kQuitMessage || wParam != kQuitMessage || lParam != kQuitMessage)
                           return std::int64_t{0};
                       quit();
                       return std::int64_t{kQuitMessage};
                   });
    ShellServices services{*shell, *settings,    *clipboard, *hotkeys,    *keys,
                           *focus, messageBoxes, *screen,    *trayClicks, tray};
    {
        TrayProgram program(services, std::move(folders));
        TfInit& fInit = program.form();
        running = &fInit;
        QObject::connect(&fInit, &TfInit::quitRequested, qApp, quit);
        // The start-up sequence (and the dialogs of a first start) runs from the program's own loop.
        // What this session does not allow is said once, after the start-up dialogs.
        QTimer::singleShot(0, &fInit, [&fInit, limits = platform::SessionShortcomings()] {
            fInit.Start();
            if (fInit.started())
                fInit.ShowStartNotice(limits);
        });
        QApplication::exec();
        running = nullptr;
    } // the tray program's end saves the settings
    DestroyBalloon();
    return 0;
}
