#include "lang/ui/LangEditor.h"

#include "ui_LangEditor.h"

#include "lang/LangModule.h"
#include "lang/LngWriter.h"
#include "ui/DialogContext.h"
#include "ui/DialogFrame.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/ProductName.h"
#include "util/ProgramVersion.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextDocument>

#include <algorithm>

namespace tern {

namespace {

const QString kUnassigned = QStringLiteral("####### no-value ####### ");
constexpr const char* kMessageCaption = kProductName;
constexpr const char* kEnglishFile = "english.lng";
constexpr int kEnglishColumnWidth = 340;
constexpr int kLanguageColumnWidth = 230;
constexpr int kBuildMemoHeight = 57;

bool isEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A language file name must stay a plain file in the languages folder.
bool isAcceptableFileName(const QString& input, const std::string& name)
{
    if (name.empty() || name.front() == '.')
        return false;
    return std::none_of(input.begin(), input.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
               c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

} // namespace

TfLangEditor::TfLangEditor(DialogContext& context, TLangModule& languages, QWidget* parent)
    : QDialog(parent), m_context(context), m_languages(languages), m_ui(std::make_unique<Ui::TfLangEditor>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this);
    setFixedSize(size());
    m_ui->bSetBuild->hide();
    m_ui->Memo2->setMinimumHeight(0);

    QFont listFont = m_ui->lv->font();
    listFont.setStyleHint(QFont::TypeWriter); // where "Courier New" is missing, another fixed face
    m_ui->lv->setFont(listFont);
    m_ui->lv->setColumnWidth(0, kEnglishColumnWidth);
    m_ui->lv->setColumnWidth(1, kLanguageColumnWidth);
    m_ui->lv->horizontalHeader()->setStretchLastSection(true);
    m_ui->lv->verticalHeader()->setDefaultSectionSize(m_ui->lv->fontMetrics().height() + 3);
    m_ui->lv->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_ui->lv->setTextElideMode(Qt::ElideRight);
    // The selection keeps its colours while the list has no focus.
    QPalette listPalette = m_ui->lv->palette();
    listPalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         listPalette.color(QPalette::Active, QPalette::Highlight));
    listPalette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         listPalette.color(QPalette::Active, QPalette::HighlightedText));
    m_ui->lv->setPalette(listPalette);

    connect(m_ui->cb2, &QComboBox::currentIndexChanged, this, [this](int) { cb2Change(); });
    connect(m_ui->Button1, &QPushButton::clicked, this, &TfLangEditor::newLanguage);
    connect(m_ui->Button3, &QPushButton::clicked, this, &TfLangEditor::deleteLanguage);
    connect(m_ui->Button6, &QPushButton::clicked, this, &TfLangEditor::findIt);
    connect(m_ui->Button5, &QPushButton::clicked, this, [this] { findNextUnassigned(-1); });
    connect(m_ui->Button4, &QPushButton::clicked, this, [this] { findNextUnassigned(1); });
    connect(m_ui->bSetBuild, &QPushButton::clicked, this, &TfLangEditor::setCurrentBuild);
    connect(m_ui->Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->lv, &QTableWidget::itemSelectionChanged, this, &TfLangEditor::lvSelect);
    connect(m_ui->lv, &QTableWidget::cellDoubleClicked, this, [this](int, int) {
        if (m_ui->Memo2->isEnabled())
            m_ui->Memo2->setFocus(Qt::OtherFocusReason);
    });
    m_ui->Memo2->installEventFilter(this);
    m_ui->e1->installEventFilter(this);

    m_englishPath = m_languages.FilePath(kEnglishFile);
    if (const auto bytes = ReadFileBytes(m_englishPath, LngFile::kMaxFileBytes)) {
        m_englishLines = SplitTextLines(QString::fromStdString(DisplayTextFromBytes(*bytes)));
        m_englishRead = true;
    }
    m_currentBuild = kBuildNumber;
    m_context.TranslateForm(this);
    setMemosEnabled(false);
}

TfLangEditor::~TfLangEditor() = default;

void TfLangEditor::Execute()
{
    if (!m_englishRead) {
        showMessage("Cannot open file " + m_englishPath, true);
        return;
    }
    buildRows();
    fillLanguageList();
    exec();
}

void TfLangEditor::done(int result)
{
    saveMemo2();
    QDialog::done(result);
}

bool TfLangEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->Memo2) {
        if (isEnterKey(event))
            return true; // texts are single lines: a line break is not typed
        if (event->type() == QEvent::FocusOut) {
            // Leaving the memo for another control saves; the window losing activation does not.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                saveMemo2();
        }
    } else if (watched == m_ui->e1 && isEnterKey(event)) {
        findIt();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfLangEditor::buildRows()
{
    m_rows = BuildLangEditorRows(m_englishLines);
    const QSignalBlocker blocker(m_ui->lv);
    m_ui->lv->clearContents();
    m_ui->lv->setRowCount(static_cast<int>(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i) {
        auto* item = new QTableWidgetItem(m_rows[i].caption);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_ui->lv->setItem(static_cast<int>(i), 0, item);
        setTranslationCell(static_cast<int>(i), QString());
    }
}

void TfLangEditor::fillLanguageList(const std::string& fileName)
{
    saveMemo2();
    const TLangModule& module = m_languages;
    {
        const QSignalBlocker blocker(m_ui->cb2);
        m_ui->cb2->clear();
        int chosen = module.CurrentIndex();
        for (const TLangModule::DisplayName& entry : module.DisplayNames()) {
            if (!fileName.empty() && module.FileNames()[static_cast<size_t>(entry.fileIndex)] == fileName)
                chosen = m_ui->cb2->count();
            m_ui->cb2->addItem(QString::fromStdString(entry.name), entry.fileIndex);
        }
        m_ui->cb2->setCurrentIndex(chosen);
    }
    cb2Change();
}

void TfLangEditor::refreshLanguageNames()
{
    TLangModule& module = m_languages;
    module.ScanFolder(); // keeps the current language
    const QSignalBlocker blocker(m_ui->cb2);
    m_ui->cb2->clear();
    for (const TLangModule::DisplayName& entry : module.DisplayNames()) {
        m_ui->cb2->addItem(QString::fromStdString(entry.name), entry.fileIndex);
        if (module.FileNames()[static_cast<size_t>(entry.fileIndex)] == m_targetFile)
            m_ui->cb2->setCurrentIndex(m_ui->cb2->count() - 1);
    }
    const QString name = m_ui->cb2->currentText();
    m_ui->Label4->setText(name);
    m_ui->lv->horizontalHeaderItem(1)->setText(name.isEmpty() ? QStringLiteral("Language") : name);
}

void TfLangEditor::cb2Change()
{
    saveMemo2();
    const TLangModule& module = m_languages;
    const int fileIndex = m_ui->cb2->currentIndex() >= 0 ? m_ui->cb2->currentData().toInt() : -1;
    if (fileIndex >= 0 && fileIndex < static_cast<int>(module.FileNames().size())) {
        m_targetFile = module.FileNames()[static_cast<size_t>(fileIndex)];
        m_targetIni = module.FilePath(m_targetFile);
        m_target = LngFile::load(m_targetIni);
    } else {
        m_targetFile.clear();
        m_targetIni.clear();
        m_target = LngFile();
    }
    fillTranslations();
    const QString name = m_targetIni.empty() ? QString() : m_ui->cb2->currentText();
    m_ui->Label4->setText(name);
    m_ui->lv->horizontalHeaderItem(1)->setText(name.isEmpty() ? QStringLiteral("Language") : name);
    loadMemo2();
}

void TfLangEditor::setTranslationCell(int row, const QString& text)
{
    QTableWidgetItem* item = m_ui->lv->item(row, 1);
    if (!item) {
        item = new QTableWidgetItem();
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_ui->lv->setItem(row, 1, item);
    }
    item->setText(text);
    // The marker of an empty text is a hint: greyed and slanted, not a shout.
    const bool unassigned = text == kUnassigned;
    QFont font = item->font();
    font.setItalic(unassigned);
    item->setFont(font);
    item->setForeground(palette().brush(unassigned ? QPalette::PlaceholderText : QPalette::Text));
}

void TfLangEditor::fillTranslations()
{
    m_ui->lv->setUpdatesEnabled(false);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const LangEditorRow& row = m_rows[i];
        if (!row.editable() || m_targetIni.empty()) {
            setTranslationCell(static_cast<int>(i), QString());
            continue;
        }
        const QString text = storedText(row.section, row.key);
        setTranslationCell(static_cast<int>(i), text.isEmpty() ? kUnassigned : text);
    }
    m_ui->lv->setUpdatesEnabled(true);
}

QString TfLangEditor::storedText(const QString& section, const QString& key) const
{
    return QString::fromStdString(
        m_target.text(section.toStdString(), key.toStdString()).value_or(std::string()));
}

void TfLangEditor::lvSelect()
{
    saveMemo2();
    m_editSection.clear();
    m_editKey.clear();
    m_editRow = -1;
    const int row = selectedRow();
    if (row >= 0 && m_rows[static_cast<size_t>(row)].editable()) {
        const LangEditorRow& selected = m_rows[static_cast<size_t>(row)];
        m_editSection = selected.section;
        m_editKey = selected.key;
        m_editRow = row;
        m_ui->Memo1->setPlainText(
            QString(selected.english).replace(QStringLiteral("\\n"), QStringLiteral("\n")));
        setMemosEnabled(true);
    } else {
        m_ui->Memo1->clear();
        setMemosEnabled(false);
    }
    loadMemo2();
    const bool buildKey = m_editKey == QStringLiteral("ForBuild");
    m_ui->Memo2->resize(m_ui->Memo2->width(), buildKey ? kBuildMemoHeight : m_ui->Memo1->height());
    m_ui->bSetBuild->setVisible(buildKey);
}

void TfLangEditor::setMemosEnabled(bool enabled)
{
    const QColor background = palette().color(enabled ? QPalette::Base : QPalette::Button);
    for (QPlainTextEdit* memo : {m_ui->Memo1, m_ui->Memo2}) {
        memo->setEnabled(enabled);
        QPalette memoPalette = memo->palette();
        memoPalette.setColor(QPalette::Base, background);
        memo->setPalette(memoPalette);
    }
}

void TfLangEditor::loadMemo2()
{
    QString text;
    if (!m_editSection.isEmpty() && !m_editKey.isEmpty())
        text = storedText(m_editSection, m_editKey).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    m_ui->Memo2->setPlainText(text);
    m_ui->Memo2->document()->setModified(false);
}

QString TfLangEditor::memo2Text() const
{
    // The raw text keeps non-breaking spaces; paragraph and line separators are line breaks.
    QString text = m_ui->Memo2->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

bool TfLangEditor::saveMemo2()
{
    if (m_saving || m_editSection.isEmpty() || m_editKey.isEmpty() || m_targetIni.empty() ||
        !m_ui->Memo2->document()->isModified())
        return true;
    m_saving = true;
    m_ui->Memo2->document()->setModified(false);
    bool saved = true;
    try {
        // A shipped file is edited in the user's copy of it.
        m_targetIni = m_languages.Folders().prepareWrite(m_targetFile);
        WriteLngText(m_targetIni, m_editSection.toStdString(), m_editKey.toStdString(),
                     memo2Text().toStdString());
        m_target = LngFile::load(m_targetIni);
        const QString text = storedText(m_editSection, m_editKey);
        setTranslationCell(m_editRow, text.isEmpty() ? kUnassigned : text);
        if (m_editSection == QLatin1String("LANG_INFO"))
            refreshLanguageNames();
    } catch (const Error& error) {
        saved = false;
        showMessage(error.what(), true);
    }
    m_saving = false;
    return saved;
}

void TfLangEditor::newLanguage()
{
    saveMemo2();
    bool ok = false;
    const QString input =
        QInputDialog::getText(this, QStringLiteral("New language"),
                              QStringLiteral("Please enter file name(for example, \"french\"):"),
                              QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    TLangModule& module = m_languages;
    const std::string name = FileNameWithoutExt(input.toStdString());
    const std::string fileName = name + ".lng";
    const std::string path = module.Folders().writeFolder() + fileName;
    const bool listed = std::any_of(module.FileNames().begin(), module.FileNames().end(),
                                    [&](const std::string& file) { return SameTextAscii(file, fileName); });
    if (!isAcceptableFileName(input, name) || listed || FileExists(path)) {
        showMessage("Wrong file name specified.", false);
        return;
    }
    try {
        CreateFolders(module.Folders().writeFolder());
        CreateEmptyFile(path);
    } catch (const Error& error) {
        showMessage(error.what(), true);
        return;
    }
    module.ScanFolder();
    fillLanguageList(fileName);
}

void TfLangEditor::deleteLanguage()
{
    saveMemo2();
    if (!m_targetIni.empty() && confirm("Are you sure you want to delete file " + m_targetIni)) {
        if (!RemoveFile(m_targetIni))
            showMessage("Cannot delete file " + m_targetIni, true);
        m_languages.ScanFolder();
    }
    fillLanguageList();
}

void TfLangEditor::findNextUnassigned(int step)
{
    const int count = m_ui->lv->rowCount();
    const int selected = selectedRow();
    int row = selected >= 0 ? selected + step : (step > 0 ? 1 : count - 2);
    for (; row >= 0 && row < count; row += step) {
        const QTableWidgetItem* item = m_ui->lv->item(row, 1);
        if (item && item->text() == kUnassigned) {
            selectRow(row);
            return;
        }
    }
    showMessage("No more unassigned items found.", false);
}

void TfLangEditor::findIt()
{
    const QString wanted = m_ui->e1->text().toLower();
    for (;;) {
        const int selected = selectedRow();
        for (int row = selected >= 0 ? selected + 1 : 1; row < m_ui->lv->rowCount(); ++row) {
            const QTableWidgetItem* item = m_ui->lv->item(row, 1);
            if (item && item->text().toLower().contains(wanted)) {
                selectRow(row);
                return;
            }
        }
        if (!confirm("No more items found. Continue search at beginning of list?"))
            return;
        if (m_ui->lv->rowCount() == 0)
            return;
        selectRow(0);
    }
}

void TfLangEditor::setCurrentBuild()
{
    m_ui->Memo2->setPlainText(QString::number(m_currentBuild));
    m_ui->Memo2->document()->setModified(true);
    m_ui->Memo2->setFocus(Qt::OtherFocusReason);
}

int TfLangEditor::selectedRow() const
{
    const QList<QTableWidgetItem*> items = m_ui->lv->selectedItems();
    return items.isEmpty() ? -1 : items.front()->row();
}

void TfLangEditor::selectRow(int row)
{
    m_ui->lv->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_ui->lv->scrollToItem(m_ui->lv->item(row, 0));
    m_ui->lv->setFocus(Qt::OtherFocusReason);
}

void TfLangEditor::showMessage(const std::string& text, bool error)
{
    m_context.messageBoxes().show(text, kMessageCaption,
                                  error ? platform::MessageIcon::Error : platform::MessageIcon::None,
                                  platform::MessageButtons::Ok);
}

bool TfLangEditor::confirm(const std::string& text)
{
    return m_context.messageBoxes().show(text, kMessageCaption, platform::MessageIcon::Question,
                                         platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes;
}

} // namespace tern
