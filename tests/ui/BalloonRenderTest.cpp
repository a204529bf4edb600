#include "notify/Balloon.h"

#include "QtPrinters.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

namespace tern {
namespace {

// The balloon as it appears on screen: the window's pixels inside its region, transparent outside.
QImage RenderBalloon(TBalloon& balloon)
{
    const QImage window = balloon.grab().toImage();
    QImage shaped(window.size(), QImage::Format_ARGB32);
    shaped.fill(Qt::transparent);
    QPainter painter(&shaped);
    painter.setClipRegion(balloon.windowRegion());
    painter.drawImage(0, 0, window);
    return shaped;
}

TEST(BalloonRenderTest, DrawsTheOutlineBackgroundAndIconForEveryKind)
{
    const QString artifacts = qEnvironmentVariable("TERN_ARTIFACTS_DIR");
    const QString message = QStringLiteral("The selection is stored.\r\nUse Remote Paste to paste it on any "
                                           "computer.");
    for (int tail : {TailBottomRight, TailTopRight}) {
        for (BalloonKind kind : {BalloonKind::Information, BalloonKind::Error, BalloonKind::Warning}) {
            SCOPED_TRACE(
                QStringLiteral("tail %1 kind %2").arg(tail).arg(static_cast<int>(kind)).toStdString());
            TBalloon& balloon = GetBalloon();
            if (kind == BalloonKind::Warning) {
                balloon.SetButton1Caption(QStringLiteral("Download"));
                balloon.SetButton2Caption(QStringLiteral("Retry"));
            }
            balloon.ShowAt(700, tail == TailTopRight ? 40 : 500, tail, 10, kind, message,
                           QStringLiteral("Tern Clipboard"));
            const QImage image = RenderBalloon(balloon);
            ASSERT_EQ(image.size(), balloon.size());

            const int midY = balloon.TextLabel()->geometry().center().y();
            EXPECT_EQ(image.pixelColor(0, midY), QColor(Qt::black));
            EXPECT_EQ(image.pixelColor(image.width() - 1, midY), QColor(Qt::black));
            EXPECT_EQ(image.pixelColor(8, midY), QColor(252, 252, 252));
            EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
            // The icon's corner is transparent and shows the background; its middle is drawn.
            const QPoint icon = balloon.IconImage()->pos();
            EXPECT_EQ(image.pixelColor(icon + QPoint(0, 15)), QColor(252, 252, 252));
            EXPECT_NE(image.pixelColor(icon + QPoint(7, 9)), QColor(252, 252, 252));

            if (!artifacts.isEmpty()) {
                QDir().mkpath(artifacts);
                EXPECT_TRUE(image.save(QStringLiteral("%1/balloon_tail%2_kind%3.png")
                                           .arg(artifacts)
                                           .arg(tail)
                                           .arg(static_cast<int>(kind))));
            }
        }
    }
    HideBalloon();
}

} // namespace
} // namespace tern
