#include "notify/BalloonRegion.h"

#include <QPainterPath>
#include <QPolygon>

namespace tern {

QRegion BalloonRegion(const BalloonShape& shape)
{
    // 7x7 corner ellipses: a corner radius of 3.5 pixels.
    QPainterPath body;
    body.addRoundedRect(QRectF(shape.left, shape.top, shape.right - shape.left, shape.bottom - shape.top),
                        3.5, 3.5);
    QRegion region(body.toFillPolygon().toPolygon(), Qt::WindingFill);
    if (shape.triangle.size() == 3) {
        const QPolygon triangle({shape.triangle[0], shape.triangle[1], shape.triangle[2]});
        region = region.united(QRegion(triangle, Qt::WindingFill));
    }
    return region;
}

QRegion RegionFrame(const QRegion& region)
{
    const QRegion inner = region.intersected(region.translated(1, 0))
                              .intersected(region.translated(-1, 0))
                              .intersected(region.translated(0, 1))
                              .intersected(region.translated(0, -1));
    return region.subtracted(inner);
}

} // namespace tern
