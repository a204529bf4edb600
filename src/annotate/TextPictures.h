#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace tern {

// Pictures of annotation texts, one for each text, face size and colour, made on first use and kept
// for the few used last: a text that is drawn ten times for its halo on every repaint is laid out
// once. GUI thread only.
class TextPictures
{
public:
    // The picture of `text` (line feeds break lines) in the annotation face at `emPixels` and in
    // `color`, transparent around the glyphs, as drawing the text with its origin at (0, 0) would
    // show it; `offset` receives where the picture's top-left corner lies from that origin. A null
    // picture for a text that shows nothing.
    const QImage& picture(std::u16string_view text, std::int32_t emPixels, std::uint32_t color,
                          QPoint& offset);

private:
    struct Entry
    {
        std::u16string text;
        std::int32_t em = 0;
        std::uint32_t color = 0;
        QImage image;
        QPoint offset;
    };
    // The most recently used first.
    std::deque<Entry> m_entries;
};

} // namespace tern
