#include "shell/UpdateReports.h"

#include "LoaderOverFakes.h"

#include "notify/Balloon.h"
#include "notify/TrayBalloon.h"
#include "shell/ProgramFolders.h"
#include "support/ServerProcess.h"
#include "util/DateTime.h"
#include "util/ProgramVersion.h"
#include "util/TextRoutines.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

namespace tern {
namespace {

using test::LoaderOverFakes;
using namespace std::chrono_literals;

// tern-server as a child process that knows the newest build and its update message.
class VersionService : public test::ServiceProcess
{
public:
    VersionService(unsigned latestBuild, const std::string& latestMessage)
        : ServiceProcess({"--latest-build", std::to_string(latestBuild), "--latest-message", latestMessage})
    {
    }
};

// Processes events until `done` holds or the deadline passes.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 15s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

struct ModalCounter final : ModalStateListener
{
    void EnterModalState() override { ++entered; }
    void LeaveModalState() override { ++left; }
    int entered = 0;
    int left = 0;
};

class UpdateReportsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_balloon = &GetBalloon(); // resets it; the one balloon is inspected through this pointer
    }
    void TearDown() override { HideBalloon(); }

    // A loader whose service and download hosts are `service`, in the language `languageFile`
    // (a copy of english.lng under that name).
    TLoader& loaderFor(const VersionService& service, const std::string& languageFile = "english.lng")
    {
        EXPECT_FALSE(service.address().empty()) << "tern-server did not start";
        if (languageFile != "english.lng")
            std::filesystem::copy_file(m_fakes.folder().file("Languages/english.lng"),
                                       m_fakes.folder().file("Languages/" + languageFile));
        TLoader& loader = m_fakes.loader();
        loader.conf().Apply({.ServiceHost = service.address()});
        loader.conf().Apply({.DownloadHost = service.address()});
        loader.languages().SelectFile(languageFile);
        loader.setModalStateListener(&m_modal);
        return loader;
    }
    // Waits until every check has reported.
    void finishChecks(TLoader& loader)
    {
        ASSERT_TRUE(waitUntil([&] { return !loader.service().updateCheckRunning(); }));
        QCoreApplication::processEvents(); // the last report was posted before its checker ended
    }
    bool balloonShown()
    {
        return waitUntil([&] { return m_balloon->isVisible(); });
    }
    std::string text(const char* key) { return m_fakes.loader().GetText("GLOBAL", key); }

    BalloonNotifier m_notifier;
    LoaderOverFakes m_fakes;
    ModalCounter m_modal;
    TBalloon* m_balloon = nullptr;
};

TEST_F(UpdateReportsTest, ManualCheckReportsUpToDateInsideTheModalState)
{
    VersionService service(tern::kBuildNumber, "");
    TLoader& loader = loaderFor(service);
    CheckForUpdates(loader, m_notifier, true);
    ASSERT_TRUE(balloonShown());
    EXPECT_EQ(m_balloon->TextLabel()->text().toStdString(), text("mVerUpToDate"));
    EXPECT_EQ(m_balloon->TitleLabel()->text().toStdString(), "Tern Clipboard");
    EXPECT_EQ(m_balloon->IconName().toStdString(), "INFO");
    EXPECT_EQ(m_balloon->HideTimer()->interval(), 20000);
    EXPECT_TRUE(m_balloon->Button1()->isHidden());
    EXPECT_EQ(m_modal.entered, 1);
    EXPECT_EQ(m_modal.left, 1);
    EXPECT_EQ(loader.ModalCount(), 0);
}

TEST_F(UpdateReportsTest, NewerVersionOffersTheDownloadPageInTheCurrentLanguage)
{
    VersionService service(tern::kBuildNumber + 1, "Faster uploads.\\nFixes the tray icon.  ");
    TLoader& loader = loaderFor(service, "deutsch.lng");
    CheckForUpdates(loader, m_notifier, true);
    ASSERT_TRUE(balloonShown());
    EXPECT_EQ(withLineFeeds(m_balloon->TextLabel()->text()).toStdString(),
              text("mVerObsolete") + "\n\nFaster uploads.\nFixes the tray icon.");
    EXPECT_EQ(m_balloon->IconName().toStdString(), "WARNING");
    EXPECT_EQ(m_balloon->HideTimer()->interval(), 30000);
    ASSERT_FALSE(m_balloon->Button1()->isHidden());
    EXPECT_EQ(m_balloon->Button1()->text().toStdString(), text("bDownload"));

    m_balloon->Button1()->click();
    EXPECT_FALSE(m_balloon->isVisible());
    ASSERT_EQ(m_fakes.shell.openedTargets.size(), 1u);
    EXPECT_EQ(m_fakes.shell.openedTargets[0], service.address() + "/start/download.html?lang=deutsch.lng");
    EXPECT_EQ(m_modal.left, 1);
}

TEST_F(UpdateReportsTest, UnreachableServiceIsAConnectionProblem)
{
    VersionService service(tern::kBuildNumber, "");
    TLoader& loader = loaderFor(service);
    service.stop();
    CheckForUpdates(loader, m_notifier, true);
    ASSERT_TRUE(balloonShown());
    // The text names the address it tried and what went wrong.
    EXPECT_EQ(
        m_balloon->TextLabel()->text(),
        QString::fromStdString(SubstituteArgument(text("mConProblem"), service.address()) + " (NoConnection)")
            .replace(QLatin1String("\r\n"), QLatin1String("\n")));
    EXPECT_EQ(m_balloon->IconName().toStdString(), "ERROR");
    EXPECT_EQ(m_balloon->HideTimer()->interval(), 20000);
    EXPECT_TRUE(m_balloon->Button1()->isHidden());
}

TEST_F(UpdateReportsTest, StartupCheckRunsOnlyWhenDueAndReportsOnlyANewerVersion)
{
    VersionService outdated(tern::kBuildNumber + 1, "Please update.");
    TLoader& loader = loaderFor(outdated);
    TConfStore& conf = loader.conf();
    const auto checkedJustNow = [&] { return std::abs(conf.CheckDate - CurrentDateTime()) < 1.0 / 24 / 60; };

    // Not due: no check, but the date moves to now.
    conf.Apply({.CheckDate = CurrentDateTime() - 6.9});
    CheckForUpdates(loader, m_notifier, false);
    EXPECT_FALSE(loader.service().updateCheckRunning());
    EXPECT_TRUE(checkedJustNow());

    // Switched off: never, however long ago.
    conf.Apply({.CheckUpdates = false});
    conf.Apply({.CheckDate = CurrentDateTime() - 30});
    CheckForUpdates(loader, m_notifier, false);
    EXPECT_FALSE(loader.service().updateCheckRunning());
    EXPECT_TRUE(checkedJustNow());
    finishChecks(loader);
    EXPECT_FALSE(m_balloon->isVisible());

    // Due: the newer version is reported, without a modal bracket.
    conf.Apply({.CheckUpdates = true});
    conf.Apply({.CheckDate = CurrentDateTime() - 7.1});
    CheckForUpdates(loader, m_notifier, false);
    EXPECT_TRUE(checkedJustNow());
    ASSERT_TRUE(balloonShown());
    EXPECT_EQ(withLineFeeds(m_balloon->TextLabel()->text()).toStdString(),
              text("mVerObsolete") + "\n\nPlease update.");
    EXPECT_EQ(m_modal.entered, 0);

    // Due but up to date: nothing is shown.
    HideBalloon();
    VersionService current(tern::kBuildNumber, "");
    conf.Apply({.ServiceHost = current.address()});
    conf.Apply({.CheckDate = CurrentDateTime() - 8});
    CheckForUpdates(loader, m_notifier, false);
    finishChecks(loader);
    EXPECT_FALSE(m_balloon->isVisible());
    EXPECT_TRUE(checkedJustNow());
}

TEST_F(UpdateReportsTest, AReportPendingWhenTheLoaderGoesIsDropped)
{
    VersionService service(tern::kBuildNumber, "");
    ASSERT_FALSE(service.address().empty());
    {
        // A loader of its own, destroyed while its check runs (its destructor waits for the checker,
        // whose report is then queued for a loader that no longer exists).
        ProgramFolders folders;
        folders.program = m_fakes.folder().path() + "/";
        folders.languages = folders.program + "Languages/";
        folders.data = m_fakes.folder().file("data") + "/";
        TLoader loader(m_fakes.services, folders);
        loader.conf().Apply({.ServiceHost = service.address()});
        loader.conf().SaveOnDestroy = false;
        CheckForUpdates(loader, m_notifier, true);
    }
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
    EXPECT_FALSE(m_balloon->isVisible());
}

} // namespace
} // namespace tern
