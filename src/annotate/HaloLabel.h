#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace tern {

// A text in the annotation face over a smooth white halo (the text's outline stroked with an
// antialiased round pen), drawn into a small picture whenever the text changes and only copied from
// it on every paint. GUI thread only.
class HaloLabel
{
public:
    // `emPixels`: the face's size; `haloWidth`: how far the halo reaches beyond the glyphs' edges.
    HaloLabel(int emPixels, double haloWidth, QRgb color);

    // Draws `text` centred in `box`; lines break at line feeds and are centred each.
    void draw(QPainter& painter, const QRect& box, const QString& text);
    // Drops the picture; the next draw makes it again.
    void clear();

private:
    void render(const QString& text);

    int m_em;
    double m_haloWidth;
    QRgb m_color;
    QString m_text;
    bool m_rendered = false;
    QImage m_picture;
    // Where the text's box sits in the picture: its top-left corner and size.
    QRect m_textBox;
};

} // namespace tern
