#include "notify/Balloon.h"
#include "notify/BalloonIcons.h"
#include "notify/TrayBalloon.h"

#include "QtPrinters.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tern {
namespace {

const QString kTitle = QStringLiteral("Tern Clipboard");

class BalloonTest : public ::testing::Test
{
protected:
    void TearDown() override { HideBalloon(); }

    static QRect Monitor() { return QGuiApplication::primaryScreen()->geometry(); }

    // The window-relative tip of the balloon's tail, in screen coordinates.
    static QPoint TipOnScreen(const TBalloon& balloon)
    {
        const QRect g = balloon.geometry();
        switch (balloon.tail()) {
        case TailBottomRight:
            return {g.x() + g.width() - 20, g.y() + g.height()};
        case TailBottomLeft:
            return {g.x() + 20, g.y() + g.height()};
        case TailTopRight:
            return {g.x() + g.width() - 20, g.y() + 2};
        default:
            return {g.x() + 20, g.y() + 2};
        }
    }
};

TEST_F(BalloonTest, PointsAtTheTrayIconOrFallsBackToTheMonitorCorner)
{
    const QRect m = Monitor();
    TBalloon& balloon = GetBalloon();

    // Taskbar at the bottom, icon in the right half: tail bottom right, tip at the icon + (8, 8).
    const QRect bottomRight(m.x() + m.width() - 60, m.y() + m.height() - 26, 24, 24);
    balloon.ShowNearTray(bottomRight, kTitle, 10, BalloonKind::Information, QStringLiteral("Done."));
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.tail(), TailBottomRight);
    EXPECT_EQ(TipOnScreen(balloon), bottomRight.topLeft() + QPoint(8, 8));
    EXPECT_EQ(balloon.TitleLabel()->pos(), QPoint(34, 10));

    const QRect bottomLeft(m.x() + 40, m.y() + m.height() - 26, 24, 24);
    GetBalloon().ShowNearTray(bottomLeft, kTitle, 10, BalloonKind::Information, QStringLiteral("Done."));
    EXPECT_EQ(balloon.tail(), TailBottomLeft);
    EXPECT_EQ(TipOnScreen(balloon), bottomLeft.topLeft() + QPoint(8, 8));

    // Taskbar at the top: tail top right, tip 16 px below the icon's top, content 20 px lower.
    const QRect top(m.x() + m.width() - 60, m.y() + 2, 24, 24);
    GetBalloon().ShowNearTray(top, kTitle, 10, BalloonKind::Information, QStringLiteral("Done."));
    EXPECT_EQ(balloon.tail(), TailTopRight);
    EXPECT_EQ(TipOnScreen(balloon), top.topLeft() + QPoint(8, 16));
    EXPECT_EQ(balloon.TitleLabel()->pos(), QPoint(34, 30));
    EXPECT_EQ(balloon.IconImage()->pos(), QPoint(10, 30));

    // Unknown place: no tail, the bottom-right corner 30 px left of and 20 px above the monitor's.
    GetBalloon().ShowNearTray(QRect(), kTitle, 10, BalloonKind::Information, QStringLiteral("Done."));
    EXPECT_EQ(balloon.tail(), TailNone);
    const QRect g = balloon.geometry();
    EXPECT_EQ(g.x() + g.width(), m.x() + m.width() - 30);
    EXPECT_EQ(g.y() + g.height(), m.y() + m.height() - 20);
    EXPECT_EQ(TBalloon::FindTrayIcon(QRect(5, 5, 0, 0)), QPoint(-1, -1));

    // Every part lies inside the shaped window.
    const QLabel* parts[] = {balloon.IconImage(), balloon.TitleLabel(), balloon.TextLabel()};
    for (const QLabel* part : parts)
        EXPECT_TRUE(balloon.windowRegion().boundingRect().contains(part->geometry()));
}

// A tray that has taken the icon but shows it only when the test says so; until then its rectangle
// is where the toolkit keeps the icon before the tray shows it.
class SettlingTray : public TrayBalloon
{
public:
    QRect trayIconRect() const override { return pending ? QRect(0, 0, 22, 22) : place; }
    bool trayIconPending() const override { return pending; }

    bool pending = true;
    QRect place;
};

TEST_F(BalloonTest, ABalloonAskedForBeforeTheIconIsInPlaceWaitsForIt)
{
    const QRect m = Monitor();
    SettlingTray tray;
    TBalloon& balloon = GetBalloon();
    balloon.SetButton1Caption(QStringLiteral("Change hotkey"));
    tray.showTrayBalloon(balloon, "The hotkey is taken.", 20, BalloonKind::Error);
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_TRUE(balloon.waitsForTrayIcon());

    tray.place = QRect(m.x() + m.width() - 60, m.y() + m.height() - 26, 24, 24);
    tray.pending = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon.isVisible(); }, 2000));
    EXPECT_EQ(TipOnScreen(balloon), tray.place.topLeft() + QPoint(8, 8));
    EXPECT_EQ(balloon.Button1()->text(), QStringLiteral("Change hotkey")); // kept while it waited
    EXPECT_FALSE(balloon.waitsForTrayIcon());

    // Hiding the balloon, or the tray going away, cancels a waiting showing.
    tray.pending = true;
    tray.showTrayBalloon("First", 10, BalloonKind::Information);
    HideBalloon();
    EXPECT_FALSE(balloon.waitsForTrayIcon());
    {
        SettlingTray leaving;
        leaving.showTrayBalloon("Second", 10, BalloonKind::Information);
        EXPECT_TRUE(balloon.waitsForTrayIcon());
    }
    EXPECT_FALSE(balloon.waitsForTrayIcon());
    tray.pending = false;
    QTest::qWait(200);
    EXPECT_FALSE(balloon.isVisible());

    // An icon that never gets its place: after the wait, the corner of the work area, no tail.
    tray.pending = true;
    QElapsedTimer clock;
    clock.start();
    tray.showTrayBalloon("Third", 10, BalloonKind::Information);
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon.isVisible(); }, TBalloon::kTrayIconWaitMs + 2000));
    EXPECT_GE(clock.elapsed(), TBalloon::kTrayIconWaitMs);
    EXPECT_EQ(balloon.tail(), TailNone);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(balloon.geometry().bottomRight(), work.bottomRight() - QPoint(30, 20));
}

// The message reads like a dialog: the dialogs' font size, lines a fifth of a line apart at least,
// and the balloon no larger than its parts.
TEST_F(BalloonTest, TextHasTheDialogsSizeAndRoomBetweenLines)
{
    TBalloon& balloon = GetBalloon();
    balloon.ShowAt(500, 500, TailNone, 10, BalloonKind::Information,
                   QStringLiteral("First\r\nSecond\r\nThird"), kTitle);
    const QLabel* text = balloon.TextLabel();
    EXPECT_EQ(text->font().pointSizeF(), QApplication::font("QDialog").pointSizeF());
    const QFontMetrics metrics = text->fontMetrics();
    EXPECT_GE(text->height(), 3 * metrics.height() + 2 * (metrics.height() / 5));
    EXPECT_LE(text->width(), metrics.horizontalAdvance(QStringLiteral("Second")) + 1);
    const int contentRight = std::max(text->geometry().right(), balloon.TitleLabel()->geometry().right());
    EXPECT_LE(balloon.width(), contentRight + 1 + 20);
}

// The Share Clipboard wait counts down under its message; the message itself stays as given, and the
// next balloon has no such line.
TEST_F(BalloonTest, TimeLeftLineCountsDownUnderTheMessage)
{
    TBalloon& balloon = GetBalloon();
    balloon.SetTimeLeftText(QStringLiteral("%s seconds left."));
    balloon.ShowAt(500, 500, TailNone, 30, BalloonKind::Information, QStringLiteral("Copy within 30 seconds"),
                   kTitle);
    const QLabel* line = balloon.TimeLeftLabel();
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text(), QStringLiteral("30 seconds left."));
    EXPECT_EQ(balloon.TextLabel()->text(), QStringLiteral("Copy within 30 seconds"));
    EXPECT_GT(line->y(), balloon.TextLabel()->geometry().bottom());
    EXPECT_LT(line->geometry().bottom(), balloon.height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return line->text() == QStringLiteral("29 seconds left."); }, 3000))
        << line->text().toStdString();

    GetBalloon().ShowAt(500, 500, TailNone, 30, BalloonKind::Information, QStringLiteral("Next"), kTitle);
    EXPECT_FALSE(balloon.TimeLeftLabel()->isVisible());
}

TEST_F(BalloonTest, MoreLinesMakeItTallerAndALongerTitleWider)
{
    TBalloon& balloon = GetBalloon();
    balloon.ShowAt(500, 500, TailNone, 10, BalloonKind::Information, QStringLiteral("One line"), kTitle);
    const QSize oneLine = balloon.size();

    GetBalloon().ShowAt(500, 500, TailNone, 10, BalloonKind::Information,
                        QStringLiteral("One line\r\nTwo\r\nThree"), kTitle);
    EXPECT_GT(balloon.height(), oneLine.height() + balloon.fontMetrics().height());
    EXPECT_FALSE(balloon.TextLabel()->text().contains(QLatin1Char('\r')));

    GetBalloon().ShowAt(500, 500, TailNone, 10, BalloonKind::Information, QStringLiteral("One line"),
                        kTitle + QStringLiteral(" with a much longer title than before"));
    EXPECT_GT(balloon.width(), oneLine.width() + 100);
    EXPECT_EQ(balloon.height(), oneLine.height());
}

TEST_F(BalloonTest, ButtonsRunTheirHandlersAndLeaveTheBalloonOpen)
{
    TBalloon& balloon = GetBalloon();
    int first = 0;
    int second = 0;
    balloon.SetButton1Caption(QStringLiteral("Download"));
    balloon.SetButton1Click([&first] { ++first; });
    balloon.SetButton2Caption(QStringLiteral("Retry"));
    balloon.SetButton2Click([&second] { ++second; });
    balloon.ShowAt(700, 500, TailBottomRight, 20, BalloonKind::Warning,
                   QStringLiteral("A newer version is available."), kTitle);

    QPushButton* b1 = balloon.Button1();
    QPushButton* b2 = balloon.Button2();
    ASSERT_TRUE(b1->isVisible() && b2->isVisible());
    EXPECT_EQ(b1->width(), 72); // 8 characters
    EXPECT_EQ(b1->text(), QStringLiteral("Download"));
    EXPECT_EQ(b1->geometry().right(), balloon.TextLabel()->geometry().right());
    EXPECT_EQ(b2->geometry().right() + 1 + 5, b1->x());
    EXPECT_EQ(b1->y(), balloon.TextLabel()->geometry().bottom() + 1 + 10);
    // Clicks on the buttons reach them; the labels let clicks through to the balloon.
    EXPECT_EQ(balloon.childAt(b1->geometry().center()), b1);
    EXPECT_EQ(balloon.childAt(balloon.TitleLabel()->geometry().center()), nullptr);

    b1->click();
    b2->click();
    b2->click();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), nullptr); // shown without taking the focus
}

TEST_F(BalloonTest, ButtonsWorkWhileADialogIsOpen)
{
    // A dialog that blocks every other window of the program, as the program's dialogs do.
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);

    TBalloon& balloon = GetBalloon();
    int clicks = 0;
    balloon.SetButton1Caption(QStringLiteral("Open link"));
    balloon.SetButton1Click([&clicks] { ++clicks; });
    balloon.ShowAt(700, 500, TailBottomRight, 20, BalloonKind::Information, QStringLiteral("Shared."),
                   kTitle);
    // A real click, delivered through the window system as the user's would be.
    QTest::mouseClick(balloon.Button1(), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    dialog.hide();
}

TEST_F(BalloonTest, AHandlerMayReplaceTheBalloonItRunsFrom)
{
    TBalloon& balloon = GetBalloon();
    std::string log;
    balloon.SetButton1Caption(QStringLiteral("Open link"));
    balloon.SetButton1Click([&log] {
        log += "first;";
        TBalloon& next = GetBalloon(); // resets: the running handler's stored copy is gone
        next.SetButton1Caption(QStringLiteral("Again"));
        next.SetButton1Click([&log] { log += "second;"; });
        next.ShowAt(600, 500, TailBottomRight, 10, BalloonKind::Information, QStringLiteral("Replaced"),
                    kTitle);
        log += "done;";
    });
    balloon.ShowAt(600, 500, TailBottomRight, 10, BalloonKind::Information, QStringLiteral("Shared"), kTitle);
    balloon.Button1()->click();
    EXPECT_EQ(log, "first;done;");
    EXPECT_EQ(balloon.TextLabel()->text(), QStringLiteral("Replaced"));
    EXPECT_EQ(balloon.Button1()->text(), QStringLiteral("Again"));
    balloon.Button1()->click();
    EXPECT_EQ(log, "first;done;second;");
}

TEST_F(BalloonTest, ANewBalloonNeverInheritsButtons)
{
    TBalloon& balloon = GetBalloon();
    int clicks = 0;
    balloon.SetButton1Caption(QStringLiteral("Cancel"));
    balloon.SetButton1Click([&clicks] { ++clicks; });
    balloon.SetButton2Caption(QStringLiteral("Retry"));
    balloon.SetButton2Click([&clicks] { ++clicks; });
    balloon.ShowAt(600, 500, TailBottomRight, 20, BalloonKind::Warning, QStringLiteral("Share again?"),
                   kTitle);
    const int withButtons = balloon.height();

    GetBalloon().ShowAt(600, 500, TailBottomRight, 10, BalloonKind::Information,
                        QStringLiteral("Share again?"), kTitle);
    EXPECT_TRUE(balloon.Button1()->isHidden());
    EXPECT_TRUE(balloon.Button2()->isHidden());
    EXPECT_EQ(balloon.height(), withButtons - 35);
    balloon.Button1()->click();
    balloon.Button2()->click();
    EXPECT_EQ(clicks, 0);
}

TEST_F(BalloonTest, SurfaceClickTimerAndHideCloseIt)
{
    TBalloon& balloon = GetBalloon();
    balloon.ShowAt(600, 500, TailBottomRight, 7, BalloonKind::Error, QStringLiteral("Failed."), kTitle);
    EXPECT_EQ(balloon.IconName(), QStringLiteral("ERROR"));
    EXPECT_TRUE(balloon.HideTimer()->isActive());
    EXPECT_EQ(balloon.HideTimer()->interval(), 7000);

    const QPointF inside(balloon.TextLabel()->geometry().center());
    QMouseEvent press(QEvent::MouseButtonPress, inside, balloon.mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, balloon.mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&balloon, &press);
    QApplication::sendEvent(&balloon, &release);
    EXPECT_FALSE(balloon.isVisible());

    // The timer's tick hides it.
    balloon.ShowAt(600, 500, TailBottomRight, 7, static_cast<BalloonKind>(5), QStringLiteral("Info"), kTitle);
    EXPECT_EQ(balloon.IconName(), QStringLiteral("INFO"));
    ASSERT_TRUE(balloon.isVisible());
    balloon.HideTimer()->start(1); // the same timer, shortened
    QElapsedTimer clock;
    clock.start();
    while (balloon.isVisible() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(balloon.isVisible());

    // No display time: it stays until hidden; HideBalloon stops the timer.
    balloon.ShowAt(600, 500, TailBottomRight, 0, BalloonKind::Warning, QStringLiteral("Warning"), kTitle);
    EXPECT_FALSE(balloon.HideTimer()->isActive());
    balloon.ShowAt(600, 500, TailBottomRight, 30, BalloonKind::Warning, QStringLiteral("Warning"), kTitle);
    HideBalloon();
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_FALSE(balloon.HideTimer()->isActive());
}

TEST(BalloonIconsTest, KindsMapToPicturesWithTheBottomLeftColourTransparent)
{
    EXPECT_EQ(BalloonBitmapName(BalloonKind::Information), QStringLiteral("INFO"));
    EXPECT_EQ(BalloonBitmapName(BalloonKind::Error), QStringLiteral("ERROR"));
    EXPECT_EQ(BalloonBitmapName(BalloonKind::Warning), QStringLiteral("WARNING"));
    EXPECT_EQ(BalloonBitmapName(static_cast<BalloonKind>(-1)), QStringLiteral("INFO"));
    EXPECT_EQ(BalloonBitmapName(static_cast<BalloonKind>(3)), QStringLiteral("INFO"));
    for (const char* name : {"INFO", "ERROR", "WARNING"}) {
        SCOPED_TRACE(name);
        const QImage bitmap = BalloonBitmap(QString::fromLatin1(name));
        EXPECT_EQ(bitmap.size(), QSize(16, 16));
        EXPECT_EQ(bitmap.depth(), 24);
        const QImage shown =
            WithBottomLeftTransparent(bitmap).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(shown.pixel(0, 15)), 0);
        EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(shown.pixel(7, 9)), 255);
    }
    // Another colour in the bottom-left pixel becomes the transparent one.
    QImage plain(16, 16, QImage::Format_RGB888);
    plain.fill(QColor(10, 20, 30));
    plain.setPixelColor(0, 15, QColor(1, 2, 3));
    const QImage shown = WithBottomLeftTransparent(plain).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(shown.pixel(0, 15)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(5, 5)), 255);
}

} // namespace
} // namespace tern
