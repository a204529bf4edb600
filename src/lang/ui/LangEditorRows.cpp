#include "lang/ui/LangEditorRows.h"

namespace tern {

namespace {

constexpr int kCaptionKeyWidth = 15;

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

QStringList SplitTextLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

std::vector<LangEditorRow> BuildLangEditorRows(const QStringList& englishLines)
{
    std::vector<LangEditorRow> rows;
    rows.reserve(static_cast<size_t>(englishLines.size()));
    QString section;
    bool hasSection = false;
    for (const QString& line : englishLines) {
        LangEditorRow row;
        const QString trimmed = TrimBlanks(line);
        const qsizetype closing = trimmed.indexOf(QLatin1Char(']'));
        if (trimmed.startsWith(QLatin1Char('[')) && closing >= 0) {
            section = trimmed.mid(1, closing - 1);
            hasSection = true;
        }
        row.section = section;
        row.hasSection = hasSection;

        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        const bool keyLine = !trimmed.isEmpty() && trimmed.front() != QLatin1Char(';') &&
                             trimmed.front() != QLatin1Char('[') && equals >= 0;
        if (!keyLine) {
            row.caption = trimmed;
            rows.push_back(std::move(row));
            continue;
        }
        row.isKeyLine = true;
        row.key = TrimBlanks(trimmed.left(equals));
        QString value = TrimBlanks(trimmed.mid(equals + 1));
        if (value.startsWith(QLatin1Char('"')))
            value.remove(0, 1);
        if (value.endsWith(QLatin1Char('"')))
            value.chop(1);
        row.english = value;
        row.caption =
            TrimBlanks(row.key.left(kCaptionKeyWidth)).leftJustified(kCaptionKeyWidth, QLatin1Char(' ')) +
            QLatin1Char('=') + value;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace tern
