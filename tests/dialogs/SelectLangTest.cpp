#include "lang/ui/SelectLang.h"

#include "DialogScreenshot.h"
#include "LanguageFiles.h"
#include "LoaderOverFakes.h"
#include "OnModal.h"

#include "lang/LangModule.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tern {
namespace {

using test::LoaderOverFakes;

QStringList itemTexts(const QListWidget& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

class SelectLangTest : public ::testing::Test
{
protected:
    void SetUp() override { test::WriteLanguageFiles(fakes, "english.lng"); }

    TLangModule& module() { return fakes.loader().languages(); }

    LoaderOverFakes fakes;
};

// The dialog lists the languages in module order with the current one selected; every click makes
// the clicked language current and shows the OK button in it, while the fixed texts stay; Esc keeps
// what was clicked last.
TEST_F(SelectLangTest, ClickSelectsAndTranslatesTheDialogAtOnce)
{
    TfSelectLang dialog(fakes.loader(), module(), fakes.focus);
    auto* button = dialog.findChild<QPushButton*>("__bOk");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "OK");

    int modalCount = -1;
    test::OnModal<TfSelectLang>([&](TfSelectLang& shown) {
        modalCount = fakes.loader().ModalCount();
        auto* list = shown.findChild<QListWidget*>("lcb");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(itemTexts(*list), QStringList({"Deutsch", "English", "old.lng -"}));
        for (int i = 0; i < list->count(); ++i) {
            const int tag = list->item(i)->data(Qt::UserRole).toInt();
            EXPECT_EQ(tag, module().DisplayNames()[static_cast<size_t>(i)].fileIndex);
        }
        EXPECT_EQ(list->currentRow(), 1);
        test::SaveScreenshot(shown, "select-language.png");

        list->setCurrentRow(0);
        EXPECT_EQ(module().CurrentFileName(), "german.lng");
        EXPECT_EQ(button->text(), QString::fromUtf8("\u00DCbernehmen"));
        EXPECT_EQ(shown.windowTitle(), "Tern Clipboard - Select Language");
        EXPECT_EQ(shown.findChild<QLabel*>("XPLabel1")->text(), "Please select interface language:");

        list->setCurrentRow(2); // no GLOBAL section: the English text shows
        EXPECT_EQ(button->text(), "OK");
        list->setCurrentRow(0);

        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &escape);
    });
    module().Modified = false;
    EXPECT_FALSE(dialog.ExecuteSelect());
    EXPECT_EQ(modalCount, 1);
    EXPECT_EQ(fakes.loader().ModalCount(), 0);
    EXPECT_EQ(module().CurrentFileName(), "german.lng");
    EXPECT_TRUE(module().Modified);
    EXPECT_FALSE(fakes.focus.requests.empty()); // brought to the front when shown
    EXPECT_EQ(fakes.loader().GetText("GLOBAL", "bCancel"), "Abbrechen");
}

TEST_F(SelectLangTest, DoubleClickSelectsAndCloses)
{
    TfSelectLang dialog(fakes.loader(), module(), fakes.focus);
    test::OnModal<TfSelectLang>([&](TfSelectLang& shown) {
        auto* list = shown.findChild<QListWidget*>("lcb");
        QWidget* viewport = list->viewport();
        const QPointF point = list->visualItemRect(list->item(0)).center();
        const QPointF global = viewport->mapToGlobal(point);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons buttons =
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, point, global, Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &event);
        }
    });
    EXPECT_TRUE(dialog.ExecuteSelect());
    EXPECT_EQ(module().CurrentFileName(), "german.lng");

    // Opened again, the dialog shows the current language selected.
    TfSelectLang again(fakes.loader(), module(), fakes.focus);
    EXPECT_EQ(again.findChild<QPushButton*>("__bOk")->text(), QString::fromUtf8("\u00DCbernehmen"));
    test::OnModal<TfSelectLang>([&](TfSelectLang& shown) {
        EXPECT_EQ(shown.findChild<QListWidget*>("lcb")->currentRow(), 0);
        shown.findChild<QPushButton*>("__bOk")->click();
    });
    EXPECT_TRUE(again.ExecuteSelect());
}

} // namespace
} // namespace tern
