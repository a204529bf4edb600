#include "lang/ui/LangEditor.h"

#include "DialogScreenshot.h"
#include "LanguageFiles.h"
#include "LoaderOverFakes.h"
#include "OnModal.h"

#include "lang/LangModule.h"
#include "lang/LanguageLoader.h"
#include "lang/LngFile.h"
#include "util/FileRoutines.h"
#include "util/ProgramVersion.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace tern {
namespace {

using platform::MessageAnswer;
using test::LoaderOverFakes;

const QString kUnassigned = "####### no-value ####### ";

// The open editor, reached through its components.
class EditorDriver
{
public:
    explicit EditorDriver(TfLangEditor& editor) : dialog(editor) {}

    template <typename Widget> Widget& child(const char* name)
    {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        if (!widget)
            throw std::runtime_error(std::string("no component ") + name);
        return *widget;
    }
    QTableWidget& lv() { return child<QTableWidget>("lv"); }
    QPlainTextEdit& memo2() { return child<QPlainTextEdit>("Memo2"); }
    QComboBox& cb2() { return child<QComboBox>("cb2"); }
    void click(const char* button) { child<QPushButton>(button).click(); }

    // The row of `key` under the section header "[section]", found through the English column.
    int rowOf(const QString& section, const QString& key)
    {
        QString current;
        for (int row = 0; row < lv().rowCount(); ++row) {
            const QString caption = lv().item(row, 0)->text();
            if (caption.startsWith('['))
                current = caption.mid(1, caption.indexOf(']') - 1);
            else if (current == section && caption.section('=', 0, 0).trimmed() == key)
                return row;
        }
        ADD_FAILURE() << "no row " << section.toStdString() << "/" << key.toStdString();
        return -1;
    }
    QString translation(int row) { return lv().item(row, 1)->text(); }
    int selectedRow()
    {
        const auto items = lv().selectedItems();
        return items.isEmpty() ? -1 : items.front()->row();
    }
    void select(int row) { lv().selectRow(row); }
    // Types into the translation memo as the user does: the text counts as edited.
    void type(const QString& text)
    {
        memo2().setPlainText(text);
        memo2().document()->setModified(true);
    }
    // The memo's text with non-breaking spaces kept (toPlainText turns them into blanks).
    QString memo2Text() { return memo2().document()->toRawText().replace(QChar::ParagraphSeparator, '\n'); }
    void leaveMemo(Qt::FocusReason reason = Qt::TabFocusReason)
    {
        QFocusEvent focusOut(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(&memo2(), &focusOut);
    }
    void key(QWidget& target, Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &press);
    }
    // Answers the "New language" input box with `input`.
    void newLanguage(const QString& input)
    {
        test::OnModal<QInputDialog>([input](QInputDialog& box) {
            EXPECT_EQ(box.windowTitle(), "New language");
            EXPECT_EQ(box.labelText(), "Please enter file name(for example, \"french\"):");
            box.setTextValue(input);
            box.accept();
        });
        click("Button1");
    }
    QStringList languages()
    {
        QStringList names;
        for (int i = 0; i < cb2().count(); ++i)
            names << cb2().itemText(i);
        return names;
    }

    TfLangEditor& dialog;
};

class LangEditorTest : public ::testing::Test
{
protected:
    void SetUp() override { germanPath = test::WriteLanguageFiles(fakes, "german.lng"); }

    // Opens the editor, runs `steps` on it while it is shown, and closes it with Ok.
    void runEditor(const std::function<void(EditorDriver&)>& steps)
    {
        TfLangEditor editor(fakes.loader(), module());
        test::OnModal<TfLangEditor>([&](TfLangEditor& shown) {
            EditorDriver driver(shown);
            try {
                steps(driver);
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
            }
            if (shown.isVisible())
                driver.click("Button2");
        });
        editor.Execute();
    }
    std::string german(const char* section, const char* key)
    {
        return LngFile::load(germanPath).text(section, key).value_or("<missing>");
    }
    std::string germanBytes() { return ReadFileBytes(germanPath, 1 << 20).value_or("<unreadable>"); }
    TLangModule& module() { return fakes.loader().languages(); }
    std::vector<std::string> messages() { return fakes.messageTexts(); }

    LoaderOverFakes fakes;
    std::string germanPath;
};

TEST_F(LangEditorTest, ListsEveryEnglishLineBesideTheChosenLanguage)
{
    runEditor([&](EditorDriver& editor) {
        const auto english = ReadFileBytes(TERN_SOURCE_LANGUAGES_DIR "/english.lng", 1 << 20);
        ASSERT_TRUE(english);
        EXPECT_EQ(editor.lv().rowCount(), SplitTextLines(QString::fromStdString(*english)).size());
        EXPECT_EQ(editor.dialog.windowTitle(), "Language Translator");
        EXPECT_EQ(editor.languages(), QStringList({"Deutsch", "English", "old.lng -"}));
        EXPECT_EQ(editor.cb2().currentText(), "Deutsch");
        EXPECT_EQ(editor.child<QLabel>("Label4").text(), "Deutsch");
        EXPECT_EQ(editor.lv().horizontalHeaderItem(0)->text(), "English");
        EXPECT_EQ(editor.lv().horizontalHeaderItem(1)->text(), "Deutsch");
        EXPECT_EQ(editor.lv().columnWidth(0), 340);

        EXPECT_EQ(editor.lv().item(0, 0)->text(), "; Tern Clipboard interface texts in English.");
        EXPECT_EQ(editor.translation(0), "");
        const int ok = editor.rowOf("GLOBAL", "bOk");
        EXPECT_EQ(editor.lv().item(ok, 0)->text(), "bOk            =OK");
        EXPECT_EQ(editor.translation(ok), QString::fromUtf8("\u00DCbernehmen"));
        const int retry = editor.rowOf("GLOBAL", "bRetry");
        EXPECT_EQ(editor.translation(retry), kUnassigned);
        // The marker reads as a hint: slanted and greyed, unlike a text.
        EXPECT_TRUE(editor.lv().item(retry, 1)->font().italic());
        EXPECT_FALSE(editor.lv().item(ok, 1)->font().italic());
        EXPECT_NE(editor.lv().item(retry, 1)->foreground().color(),
                  editor.lv().item(ok, 1)->foreground().color());
        EXPECT_EQ(editor.translation(ok - 1), ""); // the section header

        // Selecting a key line shows both texts; any other line disables the memos.
        editor.select(ok);
        EXPECT_EQ(editor.child<QPlainTextEdit>("Memo1").toPlainText(), "OK");
        EXPECT_EQ(editor.memo2().toPlainText(), QString::fromUtf8("\u00DCbernehmen"));
        EXPECT_TRUE(editor.memo2().isEnabled());
        test::SaveScreenshot(editor.dialog, "language-editor.png");
        editor.select(ok - 1);
        EXPECT_FALSE(editor.memo2().isEnabled());
        EXPECT_EQ(editor.child<QPlainTextEdit>("Memo1").toPlainText(), "");

        // Another language fills the column from its own file.
        editor.cb2().setCurrentIndex(1);
        EXPECT_EQ(editor.translation(ok), "OK");
        EXPECT_EQ(editor.child<QLabel>("Label4").text(), "English");
        editor.cb2().setCurrentIndex(2);
        EXPECT_EQ(editor.translation(ok), kUnassigned);
    });
    EXPECT_EQ(module().CurrentFileName(), "german.lng"); // choosing in the editor selects nothing
}

TEST_F(LangEditorTest, SearchesLookOnlyAtTheTranslationColumn)
{
    runEditor([&](EditorDriver& editor) {
        const int rows = editor.lv().rowCount();
        std::vector<int> unassigned;
        for (int row = 0; row < rows; ++row) {
            if (editor.translation(row) == kUnassigned)
                unassigned.push_back(row);
        }
        ASSERT_GE(unassigned.size(), 3u);

        editor.click("Button4"); // Next unassigned, nothing selected: from row 1
        EXPECT_EQ(editor.selectedRow(), unassigned.front());
        editor.click("Button4");
        EXPECT_EQ(editor.selectedRow(), unassigned[1]);
        editor.click("Button5");
        EXPECT_EQ(editor.selectedRow(), unassigned.front());
        editor.click("Button5");
        EXPECT_EQ(editor.selectedRow(), unassigned.front());
        EXPECT_EQ(messages().back(), "No more unassigned items found.");

        editor.lv().clearSelection();
        editor.click("Button5"); // Prev unassigned, nothing selected: from the second-to-last row
        const int lastCandidate =
            unassigned.back() == rows - 1 ? unassigned[unassigned.size() - 2] : unassigned.back();
        EXPECT_EQ(editor.selectedRow(), lastCandidate);

        // Find: lower case, translation column only; Enter in the search field searches too.
        editor.lv().clearSelection();
        editor.child<QLineEdit>("e1").setText("ABBRECHEN");
        editor.key(editor.child<QLineEdit>("e1"), Qt::Key_Return);
        const int cancel = editor.rowOf("GLOBAL", "bCancel");
        EXPECT_EQ(editor.selectedRow(), cancel);

        fakes.messageBoxes.answers = {MessageAnswer::No};
        editor.child<QLineEdit>("e1").setText("Cancel"); // English only
        editor.click("Button6");
        EXPECT_EQ(messages().back(), "No more items found. Continue search at beginning of list?");
        EXPECT_EQ(editor.selectedRow(), cancel);

        // Past the last match the search starts over at the top when the user agrees.
        fakes.messageBoxes.answers = {MessageAnswer::Yes};
        editor.child<QLineEdit>("e1").setText("deutsch");
        editor.select(editor.rowOf("GLOBAL", "bOk"));
        editor.click("Button6");
        EXPECT_EQ(editor.selectedRow(), editor.rowOf("LANG_INFO", "Name"));
        EXPECT_EQ(fakes.messageBoxes.shown.back().buttons, platform::MessageButtons::YesNo);
    });
}

// Texts are written so that the reader gives them back as typed; lines that were not edited keep
// their bytes; a row that is only looked at is not written.
TEST_F(LangEditorTest, EditsRoundTripThroughTheReader)
{
    const std::string before = germanBytes();
    runEditor([&](EditorDriver& editor) {
        const int retry = editor.rowOf("GLOBAL", "bRetry");
        editor.select(retry);
        editor.leaveMemo();
        editor.select(editor.rowOf("GLOBAL", "bLogin"));
        EXPECT_EQ(germanBytes(), before);

        const struct
        {
            const char* key;
            QString typed;
            std::string stored;
        } edits[] = {
            {"bRetry", "Noch einmal\nversuchen", "Noch einmal\\nversuchen"},
            {"bContinue", "  Weiter = los  ", "  Weiter = los  "},
            {"bLogin", "\"Anmelden\"", "\"Anmelden\""},
            {"bRegister", QString::fromUtf8("Konto\u00A0anlegen"), "Konto\u00A0anlegen"},
        };
        for (const auto& edit : edits) {
            const int row = editor.rowOf("GLOBAL", edit.key);
            editor.select(row);
            editor.type(edit.typed);
            editor.leaveMemo();
            EXPECT_EQ(german("GLOBAL", edit.key), edit.stored) << edit.key;
            EXPECT_EQ(editor.translation(row), QString::fromStdString(edit.stored)) << edit.key;
            editor.select(row - 1);
            editor.select(row);
            EXPECT_EQ(editor.memo2Text(), edit.typed) << edit.key;
        }

        // Leaving because the window lost the focus saves nothing yet; choosing another row does.
        const int ok = editor.rowOf("GLOBAL", "bOk");
        editor.select(ok);
        editor.type("");
        editor.leaveMemo(Qt::ActiveWindowFocusReason);
        EXPECT_EQ(german("GLOBAL", "bOk"), "\u00DCbernehmen");
        editor.select(ok + 1);
        EXPECT_EQ(german("GLOBAL", "bOk"), "");
        EXPECT_EQ(editor.translation(ok), kUnassigned);

        // The build number of the running program goes into ForBuild.
        editor.select(editor.rowOf("LANG_INFO", "ForBuild"));
        EXPECT_FALSE(editor.child<QPushButton>("bSetBuild").isHidden());
        EXPECT_EQ(editor.memo2().height(), 57);
        editor.click("bSetBuild");
        editor.select(editor.rowOf("LANG_INFO", "Name"));
        EXPECT_TRUE(editor.child<QPushButton>("bSetBuild").isHidden());
        EXPECT_EQ(editor.memo2().height(), 89);

        // Enter adds no line break.
        editor.key(editor.memo2(), Qt::Key_Return);
        EXPECT_EQ(editor.memo2().toPlainText(), "Deutsch");
    });
    EXPECT_EQ(german("LANG_INFO", "ForBuild"), std::to_string(tern::kBuildNumber));

    TLanguageLoader texts;
    texts.Apply(germanPath);
    EXPECT_EQ(texts.ReadText("GLOBAL", "bRetry", false), "Noch einmal\r\nversuchen");
    EXPECT_EQ(texts.ReadText("GLOBAL", "bOk", false), "");

    const std::string after = germanBytes();
    EXPECT_EQ(after.substr(0, after.find("bOk=")), before.substr(0, before.find("bOk=")));
    EXPECT_NE(after.find("\r\n\r\n[fInit]\r\naCopy=Entferntes Kopieren\r\n"), std::string::npos);
    EXPECT_EQ(after.find("\n\n"), std::string::npos); // every line end stays CR LF
    EXPECT_TRUE(messages().empty());
}

TEST_F(LangEditorTest, PendingEditIsSavedWhenTheEditorCloses)
{
    runEditor([&](EditorDriver& editor) {
        editor.select(editor.rowOf("fInit", "aExit"));
        editor.type("Beenden");
        editor.key(editor.dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(german("fInit", "aExit"), "Beenden");
}

TEST_F(LangEditorTest, NewRefusesUnsafeNamesAndKeepsTheCurrentLanguage)
{
    fakes.settings.values[{"LangModule", "CurrentLanguage"}] = "english.lng";
    const std::filesystem::path languages = fakes.folder().file("Languages");
    runEditor([&](EditorDriver& editor) {
        for (const QString& input : {QString(""), QString("   "), QString("English"), QString("german.lng"),
                                     QString("../escape"), QString("sub/name"), QString("back\\slash"),
                                     QString("c:name"), QString(".hidden"), QString("tab\tname")}) {
            editor.newLanguage(input);
            EXPECT_EQ(messages().back(), "Wrong file name specified.") << input.toStdString();
        }
        EXPECT_EQ(messages().size(), 10u);
        EXPECT_FALSE(std::filesystem::exists(fakes.folder().file("escape.lng")));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(languages), {}), 3);

        // The new file sorts first and is the one being edited; the current language stays English.
        editor.newLanguage("  afrikaans.lng ");
        EXPECT_EQ(messages().size(), 10u);
        EXPECT_EQ(ReadFileBytes(fakes.folder().file("Languages/afrikaans.lng"), 16), "");
        EXPECT_EQ(editor.languages(), QStringList({"afrikaans.lng -", "Deutsch", "English", "old.lng -"}));
        EXPECT_EQ(editor.cb2().currentText(), "afrikaans.lng -");
        EXPECT_EQ(editor.child<QLabel>("Label4").text(), "afrikaans.lng -");
        EXPECT_EQ(module().CurrentFileName(), "english.lng");

        // Translating its Name row gives it a header, and the list shows the name at once.
        editor.select(editor.rowOf("LANG_INFO", "Name"));
        editor.type("Afrikaans");
        editor.select(editor.rowOf("LANG_INFO", "ForBuild"));
        EXPECT_EQ(LngFile::load(fakes.folder().file("Languages/afrikaans.lng")).text("LANG_INFO", "Name"),
                  "Afrikaans");
        EXPECT_EQ(editor.cb2().currentText(), "Afrikaans -");
        EXPECT_EQ(editor.child<QLabel>("Label4").text(), "Afrikaans -");
        editor.type("12");
        editor.select(editor.rowOf("LANG_INFO", "Name"));
        EXPECT_EQ(editor.languages(), QStringList({"Afrikaans", "Deutsch", "English", "old.lng -"}));
        EXPECT_EQ(editor.cb2().currentText(), "Afrikaans");
        EXPECT_EQ(module().CurrentFileName(), "english.lng");
    });
}

TEST_F(LangEditorTest, DeleteAsksAndReselectsTheCurrentLanguage)
{
    fakes.settings.values[{"LangModule", "CurrentLanguage"}] = "english.lng";
    runEditor([&](EditorDriver& editor) {
        editor.cb2().setCurrentIndex(0); // Deutsch
        fakes.messageBoxes.answers = {MessageAnswer::No};
        editor.click("Button3");
        EXPECT_EQ(messages().back(), "Are you sure you want to delete file " + germanPath);
        EXPECT_TRUE(std::filesystem::exists(germanPath));
        EXPECT_EQ(editor.cb2().currentText(), "English"); // the list is refilled in every case

        editor.cb2().setCurrentIndex(0);
        fakes.messageBoxes.answers = {MessageAnswer::Yes};
        editor.click("Button3");
        EXPECT_FALSE(std::filesystem::exists(germanPath));
        EXPECT_EQ(editor.languages(), QStringList({"English", "old.lng -"}));
        EXPECT_EQ(editor.cb2().currentText(), "English");
        EXPECT_EQ(module().CurrentFileName(), "english.lng");
    });
}

TEST_F(LangEditorTest, EditorRulesForLinesOfTheEnglishFile)
{
    fakes.folder().write("Languages/english.lng", "top=above every header\r\n"
                                                  "  [LANG_INFO] indented header\r\n"
                                                  "Name=English\r\n"
                                                  "[GLOBAL]\r\n"
                                                  "aVeryLongKeyNameIndeed = \"quoted text\"\r\n"
                                                  "; note=not a key\r\n");
    runEditor([&](EditorDriver& editor) {
        ASSERT_EQ(editor.lv().rowCount(), 6);
        EXPECT_EQ(editor.lv().item(0, 0)->text(), "top            =above every header");
        EXPECT_EQ(editor.translation(0), "");
        editor.select(0);
        EXPECT_FALSE(editor.memo2().isEnabled());
        EXPECT_EQ(editor.translation(2), "Deutsch");
        EXPECT_EQ(editor.lv().item(4, 0)->text(), "aVeryLongKeyNam=quoted text");
        EXPECT_EQ(editor.translation(5), "");

        editor.select(4);
        editor.type("Lang");
        editor.select(2);
    });
    EXPECT_EQ(german("GLOBAL", "aVeryLongKeyNameIndeed"), "Lang");
}

// With a per-user folder (as an installed program has), edits, new files and deletions happen there;
// the program's own, read-only languages folder stays as it was.
TEST_F(LangEditorTest, ChangesGoToTheUsersFolderAndLeaveTheProgramsFolderAlone)
{
    namespace fs = std::filesystem;
    const std::string userFolder = fakes.folder().file("data/tern-clipboard/Languages/");
    fakes.setUserLanguages(userFolder);
    const fs::path shipped = fakes.folder().file("Languages");
    const std::string shippedGerman = germanBytes();
    fs::permissions(shipped, fs::perms::owner_read | fs::perms::owner_exec);
    runEditor([&](EditorDriver& editor) {
        const int ok = editor.rowOf("GLOBAL", "bOk");
        editor.select(ok);
        editor.type("Los");
        editor.leaveMemo();
        EXPECT_EQ(editor.translation(ok), "Los");
        editor.newLanguage("afrikaans");
        EXPECT_EQ(editor.languages(), QStringList({"afrikaans.lng -", "Deutsch", "English", "old.lng -"}));
    });
    EXPECT_TRUE(messages().empty());
    const LngFile userGerman = LngFile::load(userFolder + "german.lng");
    EXPECT_EQ(userGerman.text("GLOBAL", "bOk"), "Los");
    EXPECT_EQ(userGerman.text("fInit", "aCopy"), "Entferntes Kopieren"); // the untouched texts came along
    EXPECT_TRUE(FileExists(userFolder + "afrikaans.lng"));
    fakes.loader().TranslateForm(nullptr);
    EXPECT_EQ(fakes.text("GLOBAL", "bOk"), "Los");

    // Deleting the user's German brings back the shipped one.
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    runEditor([&](EditorDriver& editor) {
        editor.click("Button3");
        EXPECT_EQ(messages().back(), "Are you sure you want to delete file " + userFolder + "german.lng");
        editor.cb2().setCurrentIndex(1);
        EXPECT_EQ(editor.cb2().currentText(), "Deutsch");
        EXPECT_EQ(editor.translation(editor.rowOf("GLOBAL", "bOk")), QString::fromUtf8("\u00DCbernehmen"));
    });
    fs::permissions(shipped, fs::perms::owner_all);
    EXPECT_EQ(germanBytes(), shippedGerman);
    EXPECT_EQ(std::distance(fs::directory_iterator(shipped), {}), 3); // english, german, old
}

TEST_F(LangEditorTest, WithoutTheEnglishFileTheEditorDoesNotOpen)
{
    std::filesystem::remove(fakes.folder().file("Languages/english.lng"));
    TfLangEditor editor(fakes.loader(), module());
    editor.Execute();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages().front().rfind("Cannot open file ", 0), 0u);
    EXPECT_EQ(messages().front().substr(messages().front().size() - 11), "english.lng");
    EXPECT_FALSE(editor.isVisible());
}

} // namespace
} // namespace tern
