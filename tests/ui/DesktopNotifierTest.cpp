// The program's notices as desktop notifications, against the session's notification service (mako in
// scripts/headless-sway.sh, read back and driven with makoctl). Skipped without such a service.
#include "notify/DesktopNotifier.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tern {
namespace {

// Counts what reaches it: the notices the service did not take.
class CountingNotifier final : public Notifier
{
public:
    void notify(const std::string& text, int, BalloonKind, std::vector<NoticeButton>,
                const std::string&) override
    {
        shown.push_back(text);
    }
    void hideNotice() override { ++hidden; }

    std::vector<std::string> shown;
    int hidden = 0;
};

QString Makoctl(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("makoctl"), arguments);
    if (!tool.waitForFinished(5000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

TEST(DesktopNotifierTest, NoticeShowsWithItsButtonsWhoseActionsRunTheirHandlers)
{
    if (!DesktopNotifier::available() || QStandardPaths::findExecutable(QStringLiteral("makoctl")).isEmpty())
        GTEST_SKIP() << "no notification service on the session bus";
    CountingNotifier balloons;
    DesktopNotifier notices(balloons);
    int retried = 0;
    int cancelled = 0;
    notices.notify("Nothing could be copied <here> & now", 20, BalloonKind::Error,
                   {{"&Cancel", [&cancelled] { ++cancelled; }}, {"&Retry", [&retried] { ++retried; }}});
    ASSERT_TRUE(QTest::qWaitFor([&notices] { return notices.shownId() != 0; }, 5000));
    const unsigned int id = notices.shownId();
    EXPECT_TRUE(balloons.shown.empty());

    const QString listed = Makoctl({QStringLiteral("list")});
    EXPECT_TRUE(listed.contains(QStringLiteral("Tern Clipboard"))) << listed.toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("Nothing could be copied"))) << listed.toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("Retry"))) << listed.toStdString();
    EXPECT_FALSE(listed.contains(QStringLiteral("&Retry"))) << "the shortcut mark is not shown";

    // The second button's action runs the second handler only, and only for our notice.
    Makoctl({QStringLiteral("invoke"), QStringLiteral("-n"), QString::number(id), QStringLiteral("2")});
    EXPECT_TRUE(QTest::qWaitFor([&retried] { return retried == 1; }, 5000));
    EXPECT_EQ(cancelled, 0);

    // A count-down notice keeps its number while its line counts down; hiding closes it. (Each look
    // with makoctl holds the event loop, so the count-down gets a generous time.)
    notices.notify("Copy what is to be shared", 30, BalloonKind::Information, {}, "%s seconds left.");
    const unsigned int counting = notices.shownId();
    ASSERT_NE(counting, 0U);
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return Makoctl({QStringLiteral("list")}).contains(QStringLiteral("29 seconds left.")); }, 15000))
        << Makoctl({QStringLiteral("list")}).toStdString();
    EXPECT_EQ(notices.shownId(), counting);
    notices.hideNotice();
    EXPECT_EQ(notices.shownId(), 0U);
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return !Makoctl({QStringLiteral("list")}).contains(QStringLiteral("Copy what is to be shared"));
        },
        5000));
}

} // namespace
} // namespace tern
