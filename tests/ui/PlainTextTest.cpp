#include "notify/Balloon.h"
#include "notify/TrayBalloon.h"
#include "ui/QtMessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace tern {
namespace {

// A service's error text that would show a heading, a link elsewhere and a picture if read as markup.
const std::string kMarkup = "<h1>Update</h1><a href=\"http://elsewhere.example\">here</a><img src=\"x.png\">";

// Every place a text from the service, a file or the clipboard is shown keeps the text as it is.
TEST(PlainTextTest, MessageBoxesAndBalloonsShowMarkupAsText)
{
    ui::QtMessageBoxes boxes;
    Qt::TextFormat shownFormat = Qt::RichText;
    QString shownText;
    // The box is modal: it is read and closed from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownFormat = box->textFormat();
        shownText = box->text();
        box->accept();
    });
    boxes.show(kMarkup, "Tern Clipboard", platform::MessageIcon::Error, platform::MessageButtons::Ok);
    EXPECT_EQ(shownFormat, Qt::PlainText);
    // The address inside is joined so that no line break falls in it; the text is otherwise as given.
    EXPECT_TRUE(shownText.contains(QStringLiteral("h\u2060t\u2060t\u2060p\u2060:\u2060/\u2060/")));
    EXPECT_EQ(shownText.remove(QChar(0x2060)).toStdString(), kMarkup);

    TBalloon& balloon = GetBalloon();
    balloon.ShowNearTray(QRect(), QString::fromStdString(kMarkup), 10, BalloonKind::Error,
                         QString::fromStdString(kMarkup));
    for (const QLabel* label : {balloon.TitleLabel(), balloon.TextLabel()}) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(label->text().toStdString(), kMarkup);
    }
    HideBalloon();
}

} // namespace
} // namespace tern
