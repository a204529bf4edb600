#include "ui/FitToTexts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <vector>

namespace tern::ui {

namespace {

// Room left between a push button's text and its frame, on each side.
constexpr int kButtonTextPadding = 3;
// The smallest margin a grown form keeps right of its controls.
constexpr int kMinimumMargin = 8;
// A button whose right edge lies this close to the form's right edge belongs to that edge.
constexpr int kRightEdgeReach = 30;

struct Control
{
    QWidget* widget;
    QRect designed;
    int neededWidth;
    int neededHeight;
};

QString visibleText(QString text)
{
    // "&&" shows one ampersand, a single "&" marks the mnemonic and shows nothing.
    text.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xFFFF), QLatin1Char('&'));
    return text;
}

int pushButtonWidth(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QRect contents = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    const int frame = button.width() - contents.width();
    const int text = button.fontMetrics().horizontalAdvance(visibleText(button.text()));
    const int icon = button.icon().isNull() ? 0 : button.iconSize().width() + 4;
    return text + icon + frame + 2 * kButtonTextPadding;
}

// The controls whose caption can be cut, with the size their text needs.
std::vector<Control> textControls(QWidget& form)
{
    std::vector<Control> controls;
    for (QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        if (auto* label = qobject_cast<QLabel*>(child)) {
            if (label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
                continue;
            const QSize hint = label->sizeHint();
            controls.push_back({child, child->geometry(), hint.width(), hint.height()});
        } else if (auto* button = qobject_cast<QPushButton*>(child)) {
            if (!button->text().isEmpty())
                controls.push_back({child, child->geometry(), pushButtonWidth(*button), child->height()});
        } else if (qobject_cast<QCheckBox*>(child) || qobject_cast<QRadioButton*>(child)) {
            if (!static_cast<QAbstractButton*>(child)->text().isEmpty())
                controls.push_back({child, child->geometry(), child->sizeHint().width(), child->height()});
        }
    }
    std::sort(controls.begin(), controls.end(),
              [](const Control& a, const Control& b) { return a.designed.left() < b.designed.left(); });
    return controls;
}

bool centred(const QWidget* widget)
{
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label && (label->alignment() & Qt::AlignHCenter);
}

bool sameRow(const QRect& a, const QRect& b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

} // namespace

void GrowToFitTexts(QWidget& form)
{
    if (form.layout())
        return;
    std::vector<Control> controls = textControls(form);
    if (controls.empty())
        return;
    int designedRight = 0;
    for (const Control& control : controls)
        designedRight = std::max(designedRight, control.designed.right() + 1);
    const int formWidth = form.width();
    const int margin = std::max(kMinimumMargin, formWidth - designedRight);

    // Widths first, left to right, so that a control pushes the ones after it on its row.
    for (Control& control : controls) {
        QRect now = control.widget->geometry();
        const int grow = control.neededWidth - now.width();
        if (grow > 0) {
            const int oldRight = now.right();
            if (centred(control.widget))
                now.moveLeft(now.left() - grow / 2);
            now.setWidth(control.neededWidth);
            control.widget->setGeometry(now);
            const int pushed = now.right() - oldRight;
            for (Control& other : controls) {
                if (&other != &control && sameRow(other.designed, control.designed) &&
                    other.designed.left() > control.designed.right())
                    other.widget->move(other.widget->x() + pushed, other.widget->y());
            }
        }
        if (control.neededHeight > now.height()) {
            const int lower = (control.neededHeight - now.height()) / 2;
            control.widget->setGeometry(now.left(), now.top() - lower, now.width(), control.neededHeight);
        }
    }

    int left = formWidth;
    int right = 0;
    for (const Control& control : controls) {
        left = std::min(left, control.widget->x());
        right = std::max(right, control.widget->geometry().right() + 1);
    }
    const int shift = std::max(0, kMinimumMargin - left);
    const int width = std::max(formWidth, right + shift + margin);
    if (shift == 0 && width == formWidth)
        return;
    const int grow = width - formWidth;
    for (QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        const auto control = std::find_if(controls.begin(), controls.end(),
                                          [child](const Control& c) { return c.widget == child; });
        const QRect designed = control != controls.end() ? control->designed : child->geometry();
        // Buttons at the form's right edge keep their distance to it, centred ones stay centred; a
        // button pushed along its row already may stand further right.
        int x = child->x();
        if (qobject_cast<QPushButton*>(child) && designed.right() + 1 >= formWidth - kRightEdgeReach)
            x = std::max(x, designed.x() + grow);
        else if (qobject_cast<QPushButton*>(child) && std::abs(designed.center().x() * 2 - formWidth) <= 2)
            x = std::max(x, designed.x() + grow / 2);
        child->move(x + shift, child->y());
    }
    form.setFixedSize(width, form.height());
}

} // namespace tern::ui
