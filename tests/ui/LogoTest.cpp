// One mark everywhere: the tray's normal icon is the product logo that About and the windows show,
// at every size the program draws it.
#include "shell/TrayIcons.h"
#include "ui/AboutLogo.h"

#include <QImage>

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(ProductLogo, TheTrayShowsTheSameMarkAsAboutAtEverySize)
{
    const QIcon logo = ProductLogo();
    EXPECT_EQ(logo.availableSizes(), QList<QSize>({{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    for (const int size : {32, 48, 64}) {
        const QImage picture = logo.pixmap(size, size).toImage();
        ASSERT_EQ(picture.size(), QSize(size, size)) << size;
        // The left edge of the drawing's board: blue-green, not an empty picture.
        const QColor board = picture.pixelColor(size * 17 / 100, size / 2);
        EXPECT_GT(board.blue(), board.red() + 40) << size;
        EXPECT_GT(board.alpha(), 200) << size;
    }
    const QImage tray = TrayIcons::trayFrames().front().pixmap(32, 32).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    const QImage about = logo.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(tray, about);
}

} // namespace
} // namespace tern
