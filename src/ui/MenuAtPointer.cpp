#include "ui/MenuAtPointer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMenu>

namespace tern::ui {

namespace {

// Closes a menu shown as a window once another window takes the keyboard, as a popup closes on a
// click outside it.
class CloseWhenLeft final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowDeactivate)
            static_cast<QMenu*>(watched)->hide();
        return false;
    }
};

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void OpenMenuAtPointer(QMenu& menu, QPoint at)
{
    if (!OnWayland()) {
        menu.popup(at);
        return;
    }
    if (!menu.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        menu.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        menu.installEventFilter(new CloseWhenLeft(&menu));
        // A menu closes itself on a choice only as a popup: as a window it stayed open, kept the
        // keyboard, and took the first keys meant for what the choice opened (Esc for the area
        // selector). It closes once the chosen item's handlers have run; the commands they start
        // wait a moment before they touch the keyboard or the screen.
        QObject::connect(&menu, &QMenu::triggered, &menu, &QMenu::hide);
    }
    if (menu.windowTitle().isEmpty())
        menu.setWindowTitle(menu.actions().isEmpty() ? QString() : menu.actions().first()->text());
    // The items' visibility is settled before the size is: the compositor floats a window of a fixed
    // size instead of tiling it.
    emit menu.aboutToShow();
    // The native window exists before the size is fixed, so the size reaches it and the compositor
    // learns it with the window's first appearance.
    menu.ensurePolished();
    menu.winId();
    menu.setFixedSize(menu.sizeHint());
    menu.popup(at);
    menu.activateWindow();
}

} // namespace tern::ui
