#pragma once

#include "notify/BalloonLayout.h"

#include <QRegion>

namespace tern {

// The window region of `shape`: the rounded rectangle united (winding fill) with the tail triangle.
QRegion BalloonRegion(const BalloonShape& shape);

// The pixels of `region` that touch its outside: a frame one pixel wide and high along the inside of
// its border.
QRegion RegionFrame(const QRegion& region);

} // namespace tern
