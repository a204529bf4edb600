#pragma once

#include "lang/LngFile.h"
#include "lang/ui/LangEditorRows.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TfLangEditor;
}

namespace tern {

class DialogContext;
class TLangModule;

// The language translator: lists every line of "english.lng" with its English text beside the text
// of the chosen language, finds untranslated keys and translations, creates and deletes language
// files, and writes each edited text straight into the chosen file. Its own texts are fixed English.
//
// An edit of the translation memo is written when the memo loses the focus to another control, when
// another row or language is chosen, and when the dialog closes. Nothing is written for a memo that
// was not edited, so looking at an untranslated key never turns it into an empty text. GUI thread
// only; no exception leaves an event handler (failures are shown in message boxes).
class TfLangEditor : public QDialog
{
    Q_OBJECT

public:
    TfLangEditor(DialogContext& context, TLangModule& languages, QWidget* parent = nullptr);
    ~TfLangEditor() override;

    // Builds the rows, chooses the current language and runs the dialog modally. Without a readable
    // "english.lng" it shows "Cannot open file <path>" instead.
    void Execute();

    // Writes a pending edit, then closes.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildRows();
    // Fills the list and chooses `fileName` in it, or the current language when that is empty or not
    // listed.
    void fillLanguageList(const std::string& fileName = {});
    // Shows the display names again (a saved Name or ForBuild changes them), keeping the choice.
    void refreshLanguageNames();
    void cb2Change();
    void fillTranslations();
    void setTranslationCell(int row, const QString& text);
    void lvSelect();
    void loadMemo2();
    void setMemosEnabled(bool enabled);
    // Writes Memo2 when it was edited; false when the write failed.
    bool saveMemo2();

    void newLanguage();
    void deleteLanguage();
    void findNextUnassigned(int step);
    void findIt();
    void setCurrentBuild();

    int selectedRow() const;
    void selectRow(int row);
    // The text stored for a key of the chosen language, as LngFile reads it; empty when missing.
    QString storedText(const QString& section, const QString& key) const;
    QString memo2Text() const;
    void showMessage(const std::string& text, bool error);
    bool confirm(const std::string& text);

    DialogContext& m_context;
    TLangModule& m_languages;
    std::unique_ptr<Ui::TfLangEditor> m_ui;
    std::string m_englishPath;
    QStringList m_englishLines;
    bool m_englishRead = false;
    std::vector<LangEditorRow> m_rows;
    int m_currentBuild = 0;

    std::string m_targetFile; // the chosen language's file name; empty while none is chosen
    std::string m_targetIni;  // the file it is read from: the user's copy once there is one
    LngFile m_target;         // its content as last read or written
    QString m_editSection;
    QString m_editKey;
    int m_editRow = -1;
    bool m_saving = false;
};

} // namespace tern
