#include "annotate/TNewButton.h"

#include "annotate/AnnotateLog.h"
#include "annotate/PaletteIcons.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <exception>

namespace tern {

TNewButton::TNewButton(QWidget* parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, &TNewButton::ButtonClick);
}

void TNewButton::ButtonClick()
{
    if (GroupSelect && parentWidget()) {
        for (TNewButton* other : parentWidget()->findChildren<TNewButton*>(Qt::FindDirectChildrenOnly)) {
            if (other != this && other->Tag() == m_tag) {
                other->setEnabled(true);
                other->update();
            }
        }
        setEnabled(false);
    }
    if (!OnPress)
        return;
    try {
        OnPress(this);
    } catch (const std::exception& error) {
        qCWarning(lcAnnotate) << "palette button" << IconName << "failed:" << error.what();
    }
}

// The marked (disabled) button is drawn pressed in, with its icon at full colour, so the current
// choice of each group reads at a glance; the others are plain raised buttons.
void TNewButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (!isEnabled() && GroupSelect) {
        option.state |= QStyle::State_Sunken | QStyle::State_On;
        option.state |= QStyle::State_Enabled;
    }
    painter.drawControl(QStyle::CE_PushButton, option);
    if (!isEnabled() && GroupSelect) {
        QColor tint = palette().color(QPalette::Active, QPalette::Highlight);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(tint, 1.5));
        tint.setAlpha(40);
        painter.setBrush(tint);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    }
    if (IconName.isEmpty())
        return;
    const QPixmap icon = PaletteIcon(IconName, IconSize);
    if (icon.isNull())
        return;
    painter.drawPixmap((width() - IconSize) / 2, (height() - IconSize) / 2, icon);
}

} // namespace tern
