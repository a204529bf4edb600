// Every dialog keeps its size, offers no maximise button and opens centred on the screen under the
// mouse pointer. Run also with two offscreen screens (see CMakeLists.txt), where the pointer is put
// on the second one.
#include "LoaderOverFakes.h"

#include "config/ui/Settings.h"
#include "lang/ui/LangEditor.h"
#include "lang/ui/SelectLang.h"
#include "notify/TrayBalloon.h"
#include "service/ui/AuthForm.h"
#include "ui/About.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tern {
namespace {

TEST(DialogFrameTest, EveryDialogKeepsItsSizeWithoutMaximiseButtonAndOpensCentredUnderThePointer)
{
    test::LoaderOverFakes fakes;
    TLoader& loader = fakes.loader();
    BalloonNotifier notifier;
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
    };
    const Case cases[] = {
        {"account",
         [&] {
             return std::make_unique<TfAuthForm>(loader, loader.conf(), loader.transport(), fakes.shell,
                                                 notifier);
         }},
        {"settings", [&] { return std::make_unique<TfSettings>(loader, loader.conf()); }},
        {"about", [&] { return std::make_unique<TfAboutFrm>(loader, "http://svc", fakes.shell); }},
        {"language selection",
         [&] { return std::make_unique<TfSelectLang>(loader, loader.languages(), fakes.focus); }},
        {"language editor", [&] { return std::make_unique<TfLangEditor>(loader, loader.languages()); }},
    };
    // The pointer on the last screen, the second one where there are two.
    const QRect last = QGuiApplication::screens().back()->geometry();
    QCursor::setPos(last.center() + QPoint(last.width() / 4, 0));
    QScreen* pointerScreen = QGuiApplication::screenAt(QCursor::pos());
    // The run with two screens proves nothing unless it has them and the pointer is on the second.
    if (qEnvironmentVariable("QT_QPA_PLATFORM").contains("configfile")) {
        ASSERT_EQ(QGuiApplication::screens().size(), 2);
    }
    ASSERT_EQ(pointerScreen, QGuiApplication::screens().back());
    const QPoint middle = pointerScreen->availableGeometry().center();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QDialog> dialog = c.make();
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_EQ(dialog->parentWidget(), nullptr);

        dialog->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
        EXPECT_EQ(dialog->size(), dialog->minimumSize());
        const QPoint centre = dialog->frameGeometry().center();
        EXPECT_LE((centre - middle).manhattanLength(), 4) << centre.x() << "," << centre.y();
        dialog->hide();
    }
}

} // namespace
} // namespace tern
