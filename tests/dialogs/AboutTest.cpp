#include "ui/About.h"

#include "LoaderOverFakes.h"

#include "ui/LinkLabel.h"
#include "util/ProgramVersion.h"

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace tern {
namespace {

using test::LoaderOverFakes;

void click(QWidget* target)
{
    const QPointF inside(2, 2);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, inside, target->mapToGlobal(inside), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
}

TEST(AboutVersion, ShowsMajorMinorAndBuildOfTheFileVersion)
{
    EXPECT_EQ(TfAboutFrm::versionCaption("1.3.1.22").toStdString(), "Tern Clipboard 1.3:22");
    EXPECT_EQ(TfAboutFrm::versionCaption("2.0.5.7").toStdString(), "Tern Clipboard 2.0:7");
    EXPECT_EQ(TfAboutFrm::versionCaption("3.1").toStdString(), "Tern Clipboard 3.1:0");
}

TEST(About, ShowsTheRunningVersionTheLogoAndOpensTheHomePage)
{
    LoaderOverFakes fakes;
    fakes.loader().conf().Apply({.ServiceHost = "http://127.0.0.1:9"});
    TfAboutFrm about(fakes.loader(), fakes.loader().conf().ServiceHost, fakes.shell);

    EXPECT_EQ(about.windowTitle().toStdString(), "About Tern Clipboard");
    auto* version = about.findChild<QLabel*>("l1");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), TfAboutFrm::versionCaption(QString::fromLatin1(tern::kProgramVersion)));
    EXPECT_TRUE(version->text().endsWith(QStringLiteral(":%1").arg(tern::kBuildNumber)));
    EXPECT_TRUE(version->font().bold());
    auto* link = about.findChild<TLinkLabel*>("Label3");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text().toStdString(), "Tern Clipboard home page");
    EXPECT_EQ(about.findChild<QPushButton*>("Button1")->text().toStdString(), "Ok");

    // The logo sits centred at the top: white stem of the "T" in the middle, blue around it.
    about.show();
    const QImage shot = about.grab().toImage();
    const int centre = about.frameGeometry().width() / 2;
    const QColor stem = shot.pixelColor(centre, 15 + 40);
    const QColor square = shot.pixelColor(centre - 20, 15 + 56);
    EXPECT_GT(stem.lightness(), 230);
    EXPECT_GT(square.blue(), square.red() + 60);
    if (const char* artifacts = std::getenv("TERN_ARTIFACTS_DIR"))
        shot.save(QString::fromLocal8Bit(artifacts) + QStringLiteral("/about-dialog.png"));

    click(link);
    ASSERT_EQ(fakes.shell.openedTargets.size(), 1u);
    EXPECT_EQ(fakes.shell.openedTargets[0], "http://127.0.0.1:9/");

    // Ok closes with the OK result, and so does Esc.
    about.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    TfAboutFrm again(fakes.loader(), fakes.loader().conf().ServiceHost, fakes.shell);
    again.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&again, &escape);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(again.result(), QDialog::Accepted);
}

TEST(About, LinkWithoutATextShowsNoValueAndStillOpens)
{
    LoaderOverFakes fakes;
    const std::string english = fakes.folder().file("Languages/english.lng");
    std::stringstream withoutLink;
    {
        std::ifstream in(english, std::ios::binary);
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("lHomePage=", 0) != 0)
                withoutLink << line << '\n';
    }
    fakes.folder().write("Languages/english.lng", withoutLink.str());

    TfAboutFrm about(fakes.loader(), fakes.loader().conf().ServiceHost, fakes.shell);
    auto* link = about.findChild<TLinkLabel*>("Label3");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text().toStdString(), "no-value");
    click(link);
    ASSERT_EQ(fakes.shell.openedTargets.size(), 1u);
    EXPECT_EQ(fakes.shell.openedTargets[0], fakes.loader().conf().ServiceHost + "/");
}

} // namespace
} // namespace tern
