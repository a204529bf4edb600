#include "ui/FormTranslator.h"

#include "QtPrinters.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace tern::ui {
namespace {

class PlainForm : public QDialog
{
    Q_OBJECT
};

class DerivedForm : public PlainForm
{
    Q_OBJECT
};

class OwnList : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;
};

class OwnTree : public QTreeWidget
{
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;
};

class OwnTreeOfOwnTree : public OwnTree
{
    Q_OBJECT
public:
    using OwnTree::OwnTree;
};

class FormTranslatorTest : public ::testing::Test
{
protected:
    // Writes the language files before the texts load them.
    static std::string WriteFiles(const test::TempFolder& folder)
    {
        folder.write("english.lng", "[GLOBAL]\r\nbOk=OK\r\nbCancel=Cancel\r\n"
                                    "[fTest]\r\nlCaption=Test form\r\nlTip=Press here\r\nlItem=Item one\r\n"
                                    "lCol=Column\r\naCopy=Remote Copy\r\nlEmpty=\r\nlGroup=Options\r\n"
                                    "=Empty key\r\n");
        folder.write("german.lng", "[global]\r\nbOk=Weiter\r\n"
                                   "[ftest]\r\nlCaption=Testformular\r\naCopy=Fernkopie\r\nlTip=Hier\r\n");
        return folder.path();
    }

    template <typename T> T* Make(const char* name)
    {
        auto* object = new T(&form);
        object->setObjectName(QString::fromLatin1(name));
        return object;
    }

    test::TempFolder folder;
    LanguageTexts texts{WriteFiles(folder)};
    PlainForm form;
};

TEST_F(FormTranslatorTest, PropertyMarkersReadTheFormSection)
{
    form.setObjectName(QStringLiteral("fTest"));
    form.setWindowTitle(QStringLiteral("[lCaption]"));
    auto* ok = Make<QPushButton>("bGo");
    ok->setText(QStringLiteral("[.bOk]"));
    ok->setToolTip(QStringLiteral("[lTip]"));
    auto* edit = Make<QLineEdit>("edName");
    edit->setPlaceholderText(QStringLiteral("[lTip]"));
    edit->setText(QStringLiteral("plain [text]"));
    auto* group = Make<QGroupBox>("gbOptions");
    group->setTitle(QStringLiteral("[lGroup]"));
    auto* nested = new QLabel(group); // owned by a child: reached through the tree
    nested->setText(QStringLiteral("[.bCancel]"));
    auto* lone = Make<QLabel>("lLone");
    lone->setText(QStringLiteral("["));
    auto* open = Make<QLabel>("lOpen");
    open->setText(QStringLiteral("[x"));
    auto* empty = Make<QLabel>("lEmptyText");
    empty->setText(QStringLiteral("[lEmpty]"));
    auto* missing = Make<QLabel>("lMissing");
    missing->setText(QStringLiteral("[lNowhere]"));

    TranslateForm(texts, "", &form);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Test form"));
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(ok->toolTip(), QStringLiteral("Press here")); // a hint, from the form's section
    EXPECT_EQ(edit->placeholderText(), QStringLiteral("Press here"));
    EXPECT_EQ(edit->text(), QStringLiteral("plain [text]"));
    EXPECT_EQ(group->title(), QStringLiteral("Options"));
    EXPECT_EQ(nested->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(lone->text(), QStringLiteral("["));         // one character: not a marker
    EXPECT_EQ(open->text(), QStringLiteral("Empty key")); // "[x": the empty key
    EXPECT_EQ(empty->text(), QStringLiteral("[lEmpty]")); // an empty text keeps the marker
    EXPECT_EQ(missing->text(), QStringLiteral("no-value"));
    EXPECT_EQ(form.objectName(), QStringLiteral("fTest"));
}

TEST_F(FormTranslatorTest, UnderscoreNamesSetOnlyTheCaption)
{
    form.setObjectName(QStringLiteral("fTest"));
    auto* copy = Make<QAction>("_aCopy");
    copy->setText(QStringLiteral("designed"));
    copy->setToolTip(QStringLiteral("[lTip]"));
    auto* global = Make<QPushButton>("__bOk");
    auto* emptyText = Make<QLabel>("_lEmpty");
    emptyText->setText(QStringLiteral("designed"));
    auto* missing = Make<QAction>("_aMissing");
    auto* group = Make<QGroupBox>("_lGroup");
    auto* frame = Make<QFrame>("_x"); // no caption: left alone, its markers too
    frame->setToolTip(QStringLiteral("[lTip]"));

    TranslateForm(texts, "", &form);

    EXPECT_EQ(copy->text(), QStringLiteral("Remote Copy"));
    EXPECT_EQ(copy->toolTip(), QStringLiteral("[lTip]"));
    EXPECT_EQ(global->text(), QStringLiteral("OK")); // key "_bOk" reads global bOk
    EXPECT_EQ(emptyText->text(), QString());         // written also when empty
    EXPECT_EQ(missing->text(), QStringLiteral("no-value"));
    EXPECT_EQ(group->title(), QStringLiteral("Options"));
    EXPECT_EQ(frame->toolTip(), QStringLiteral("[lTip]"));

    // A window named with "_" has its title as caption.
    QWidget window;
    window.setObjectName(QStringLiteral("_lCaption"));
    TranslateComponent(texts.CurrentTexts, &window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Test form"));
}

TEST_F(FormTranslatorTest, ItemsOfExactListAndComboClassesAndTreeColumns)
{
    form.setObjectName(QStringLiteral("fTest"));
    const QStringList items{QStringLiteral("[lItem]"), QStringLiteral("plain"), QStringLiteral("[lEmpty]"),
                            QStringLiteral("[")};
    auto* list = Make<QListWidget>("lbItems");
    list->addItems(items);
    auto* ownList = Make<OwnList>("lbOwn");
    ownList->addItems(items);
    auto* combo = Make<QComboBox>("cbItems");
    combo->addItems(items);
    auto* tree = Make<QTreeWidget>("tvItems");
    tree->setHeaderLabels({QStringLiteral("[lCol]"), QStringLiteral("Size")});
    auto* ownTree = Make<OwnTree>("tvOwn");
    ownTree->setHeaderLabels({QStringLiteral("[lCol]")});
    auto* deeperTree = Make<OwnTreeOfOwnTree>("tvDeeper");
    deeperTree->setHeaderLabels({QStringLiteral("[lCol]")});

    TranslateForm(texts, "", &form);

    // Items are replaced also by empty texts, and a lone "[" reads the empty key.
    const QStringList translated{QStringLiteral("Item one"), QStringLiteral("plain"), QString(),
                                 QStringLiteral("Empty key")};
    for (int i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list->item(i)->text(), translated[i]);
        EXPECT_EQ(combo->itemText(i), translated[i]);
        EXPECT_EQ(ownList->item(i)->text(), items[i]);
    }
    EXPECT_EQ(tree->headerItem()->text(0), QStringLiteral("Column"));
    EXPECT_EQ(tree->headerItem()->text(1), QStringLiteral("Size"));
    EXPECT_EQ(ownTree->headerItem()->text(0), QStringLiteral("Column"));
    EXPECT_EQ(deeperTree->headerItem()->text(0), QStringLiteral("[lCol]"));
}

TEST_F(FormTranslatorTest, ASecondLanguageUpdatesOnlyUnderscoreNames)
{
    form.setObjectName(QStringLiteral("fTest"));
    form.setWindowTitle(QStringLiteral("[lCaption]"));
    auto* copy = Make<QAction>("_aCopy");
    auto* ok = Make<QPushButton>("bGo");
    ok->setToolTip(QStringLiteral("[lTip]"));

    TranslateForm(texts, "german.lng", &form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Testformular"));
    EXPECT_EQ(copy->text(), QStringLiteral("Fernkopie"));
    EXPECT_EQ(ok->toolTip(), QStringLiteral("Hier"));

    TranslateForm(texts, "english.lng", &form);
    EXPECT_EQ(copy->text(), QStringLiteral("Remote Copy"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Testformular"));
    EXPECT_EQ(ok->toolTip(), QStringLiteral("Hier"));
}

TEST_F(FormTranslatorTest, NothingHappensWithoutAFormOrAParsedFile)
{
    auto* copy = Make<QAction>("_aCopy");
    copy->setText(QStringLiteral("[lCaption]"));

    TLanguageLoader unparsed;
    TranslateComponent(unparsed, &form);
    EXPECT_EQ(copy->text(), QStringLiteral("[lCaption]"));

    TranslateForm(texts, "german.lng", nullptr); // only reloads: the loader knows no form yet
    TranslateComponent(texts.CurrentTexts, &form);
    EXPECT_EQ(copy->text(), QStringLiteral("[lCaption]"));
    TranslateComponent(texts.CurrentTexts, nullptr);
}

TEST_F(FormTranslatorTest, OnlyDirectFormClassesGetTheDialogFace)
{
    const QString face = DefaultDialogFace();
    ASSERT_FALSE(face.isEmpty());
    QFont designed(QStringLiteral("Designed Face"));
    designed.setPointSize(13);

    PlainForm plain;
    plain.setFont(designed);
    ApplyDialogFont(&plain);
    EXPECT_EQ(plain.font().family(), face);
    EXPECT_EQ(plain.font().pointSize(), 13);

    DerivedForm derived;
    derived.setFont(designed);
    TranslateForm(texts, "", &derived);
    EXPECT_EQ(derived.font().family(), QStringLiteral("Designed Face"));
    EXPECT_EQ(derived.font().pointSize(), 13);
}

} // namespace
} // namespace tern::ui

#include "FormTranslatorTest.moc"
