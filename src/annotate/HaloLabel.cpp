#include "annotate/HaloLabel.h"

#include "annotate/AnnotationFont.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tern {

namespace {

constexpr QRgb kHaloColor = 0xFFFFFFFFU;

} // namespace

HaloLabel::HaloLabel(int emPixels, double haloWidth, QRgb color)
    : m_em(emPixels), m_haloWidth(haloWidth), m_color(color)
{
}

void HaloLabel::clear()
{
    m_picture = QImage();
    m_text.clear();
    m_rendered = false;
}

void HaloLabel::render(const QString& text)
{
    m_text = text;
    m_rendered = true;
    m_picture = QImage();
    if (text.isEmpty())
        return;
    const QFont font = AnnotationFont(m_em);
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    double width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const double height = metrics.height() + metrics.lineSpacing() * static_cast<double>(lines.size() - 1);
    const int margin = static_cast<int>(std::ceil(m_haloWidth)) + 1;
    m_textBox =
        QRect(margin, margin, static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
    m_picture = QImage(m_textBox.adjusted(-margin, -margin, margin, margin).size(),
                       QImage::Format_ARGB32_Premultiplied);
    if (m_picture.isNull())
        return;
    m_picture.fill(Qt::transparent);

    QPainterPath outline;
    QPainter painter(&m_picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    std::vector<QPointF> baselines;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QPointF baseline(margin + (width - metrics.horizontalAdvance(lines[i])) / 2,
                               margin + metrics.ascent() + metrics.lineSpacing() * static_cast<double>(i));
        outline.addText(baseline, font, lines[i]);
        baselines.push_back(baseline);
    }
    painter.strokePath(outline, QPen(QColor::fromRgba(kHaloColor), 2 * m_haloWidth, Qt::SolidLine,
                                     Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(outline, QColor::fromRgba(kHaloColor));
    painter.setPen(QColor::fromRgba(m_color));
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(baselines[static_cast<std::size_t>(i)], lines[i]);
}

void HaloLabel::draw(QPainter& painter, const QRect& box, const QString& text)
{
    if (!m_rendered || text != m_text)
        render(text);
    if (m_picture.isNull())
        return;
    const QPoint at(box.x() + (box.width() - m_textBox.width()) / 2 - m_textBox.x(),
                    box.y() + (box.height() - m_textBox.height()) / 2 - m_textBox.y());
    painter.drawImage(at, m_picture);
}

} // namespace tern
