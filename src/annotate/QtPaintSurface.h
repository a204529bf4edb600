#pragma once

#include "annotate/PaintSurface.h"
#include "annotate/TPaintObject.h"

#include <QRect>

class QPainter;

namespace tern {

class TextPictures;

// The annotation drawing operations on a QPainter (typically over a QImage): antialiased strokes
// and text, honouring the painter's clip. Leaves the painter's state as it found it. With
// `textPictures`, texts at whole-pixel origins are copied from pictures made once instead of being
// laid out on every draw.
class QtPaintSurface final : public PaintSurface
{
public:
    explicit QtPaintSurface(QPainter& painter, TextPictures* textPictures = nullptr);
    ~QtPaintSurface() override;

    QtPaintSurface(const QtPaintSurface&) = delete;
    QtPaintSurface& operator=(const QtPaintSurface&) = delete;

    void strokeCurve(PointF start, const std::vector<BezierSegment>& segments, std::uint32_t color,
                     double width) override;
    void strokeLine(PointF from, PointF to, std::uint32_t color, double width) override;
    void strokePolyline(const std::vector<PointF>& points, std::uint32_t color, double width) override;
    void strokeRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                    std::uint32_t color, double penWidth) override;
    void strokeEllipse(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                       std::uint32_t color, double penWidth) override;
    void fillText(std::u16string_view text, double x, double y, std::int32_t emPixels,
                  std::uint32_t color) override;

private:
    QPainter& m_painter;
    TextPictures* m_textPictures;
    // The face of the last text drawn: a text and its halo draw ten times at one size.
    int m_fontEm = 0;
};

// The pixels that drawing `object` may touch, whatever its caret phase; an empty rectangle for an
// annotation that draws nothing.
QRect AnnotationBounds(const TPaintObject& object);

} // namespace tern
