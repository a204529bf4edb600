#include "ui/QtMessageBoxes.h"

#include <QMessageBox>
#include <QRegularExpression>

namespace tern::ui {
namespace {

QMessageBox::Icon ToQtIcon(platform::MessageIcon icon)
{
    switch (icon) {
    case platform::MessageIcon::Information:
        return QMessageBox::Information;
    case platform::MessageIcon::Warning:
        return QMessageBox::Warning;
    case platform::MessageIcon::Error:
        return QMessageBox::Critical;
    case platform::MessageIcon::Question:
        return QMessageBox::Question;
    case platform::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(platform::MessageButtons buttons)
{
    switch (buttons) {
    case platform::MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case platform::MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case platform::MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The text with every web address kept on one line: a word joiner (U+2060) after each character of the
// address, so that the line is never broken inside it (after a "/", "." or "-").
QString WithWholeAddresses(const QString& text)
{
    static const QRegularExpression kAddress(QStringLiteral("https?://\\S+"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype done = 0;
    for (auto match = kAddress.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        result += text.mid(done, found.capturedStart() - done);
        const QString address = found.captured();
        for (qsizetype i = 0; i < address.size(); ++i) {
            result += address[i];
            if (i + 1 < address.size())
                result += QChar(0x2060);
        }
        done = found.capturedEnd();
    }
    return result + text.mid(done);
}

} // namespace

platform::MessageAnswer QtMessageBoxes::show(const std::string& text, const std::string& caption,
                                             platform::MessageIcon icon, platform::MessageButtons buttons)
{
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(caption), QString(), ToQtButtons(buttons));
    // Texts come from the service, files and the clipboard: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(WithWholeAddresses(QString::fromStdString(text)));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return platform::MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return platform::MessageAnswer::Yes;
    case QMessageBox::No:
        return platform::MessageAnswer::No;
    case QMessageBox::Ok:
        return platform::MessageAnswer::Ok;
    default:
        // Closed without a button: the answer of the box's escape button.
        return buttons == platform::MessageButtons::YesNo      ? platform::MessageAnswer::No
               : buttons == platform::MessageButtons::OkCancel ? platform::MessageAnswer::Cancel
                                                               : platform::MessageAnswer::Ok;
    }
}

} // namespace tern::ui
