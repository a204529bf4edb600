#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tern {

// One line of the English language file as the language editor lists it. Lines are read with the
// editor's own rules, which are looser than the reader's: a section header may be indented and a
// value may be quoted at either end.
struct LangEditorRow
{
    QString caption; // what the English column shows
    QString section; // the section the line is in; empty above every header
    QString key;     // empty unless the line is a key line
    QString english; // the English text of a key line, outer quotes taken off
    bool hasSection = false;
    bool isKeyLine = false;

    // Only key lines inside a section have a translation.
    bool editable() const noexcept { return isKeyLine && hasSection; }
};

// The lines of a file's text, split at CR LF, LF or CR; a final line end adds no empty line.
QStringList SplitTextLines(const QString& text);

// Removes leading and trailing blanks and control characters (every character up to U+0020).
QString TrimBlanks(const QString& text);

// The rows for the lines of the English file, in file order, every line included. A key line's
// caption is its key cut to 15 characters, trimmed and padded to 15, then "=" and the English text;
// any other line shows its trimmed text.
std::vector<LangEditorRow> BuildLangEditorRows(const QStringList& englishLines);

} // namespace tern
