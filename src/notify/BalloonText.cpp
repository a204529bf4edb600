#include "notify/BalloonText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tern {

BalloonText::BalloonText(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setContentsMargins(0, 0, 0, 0);
    setIndent(0);
}

int BalloonText::lineStep() const
{
    const QFontMetrics metrics = fontMetrics();
    return std::max(metrics.lineSpacing(), static_cast<int>(std::ceil(metrics.height() * 1.2)));
}

QSize BalloonText::sizeHint() const
{
    const QStringList lines = text().split(QLatin1Char('\n'));
    const QFontMetrics metrics = fontMetrics();
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const auto count = static_cast<int>(lines.size());
    return {width, (count - 1) * lineStep() + metrics.height()};
}

void BalloonText::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    int top = 0;
    for (const QString& line : text().split(QLatin1Char('\n'))) {
        painter.drawText(0, top + metrics.ascent(), line);
        top += lineStep();
    }
}

} // namespace tern
