#include "annotate/TextPictures.h"

#include "annotate/AnnotationFont.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

namespace tern {

namespace {

// A text's halo and caret phases of one or two annotations.
constexpr std::size_t kKept = 8;
// Annotation text: top-left origin, no clipping, line feeds break lines.
const int kTextFlags = static_cast<int>(Qt::AlignLeft | Qt::AlignTop) | Qt::TextDontClip;
// Room beyond the metrics' box for antialiased edges and glyphs that overhang it.
constexpr int kMargin = 3;

} // namespace

const QImage& TextPictures::picture(std::u16string_view text, std::int32_t emPixels, std::uint32_t color,
                                    QPoint& offset)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (it->em == emPixels && it->color == color && it->text == text) {
            if (it != m_entries.begin()) {
                Entry used = std::move(*it);
                m_entries.erase(it);
                m_entries.push_front(std::move(used));
            }
            offset = m_entries.front().offset;
            return m_entries.front().image;
        }
    if (m_entries.size() >= kKept)
        m_entries.pop_back();
    Entry& entry = m_entries.emplace_front();
    entry.text = std::u16string(text);
    entry.em = emPixels;
    entry.color = color;
    const QFont font = AnnotationFont(emPixels);
    const QString shown(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    const QRect box = QFontMetrics(font)
                          .boundingRect(QRect(0, 0, 0, 0), kTextFlags, shown)
                          .adjusted(-kMargin, -kMargin, kMargin, kMargin);
    entry.offset = box.topLeft();
    offset = entry.offset;
    if (box.isEmpty())
        return entry.image;
    entry.image = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (entry.image.isNull())
        return entry.image;
    entry.image.fill(Qt::transparent);
    QPainter painter(&entry.image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(color));
    painter.drawText(QRectF(-box.x(), -box.y(), 0, 0), kTextFlags, shown);
    return entry.image;
}

} // namespace tern
