#include "ui/QtMessageBoxes.h"

#include <QMessageBox>

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

} // namespace

platform::MessageAnswer QtMessageBoxes::show(const std::string& text, const std::string& caption,
                                             platform::MessageIcon icon, platform::MessageButtons buttons)
{
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ToQtButtons(buttons));
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
