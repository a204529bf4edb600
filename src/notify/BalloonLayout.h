#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

namespace tern {

// Where the balloon's tail sits and where the balloon lies relative to the point it marks.
enum BalloonTail : int {
    TailBottomRight = 0, // above and to the left of the point
    TailBottomLeft = 1,  // above and to the right
    TailTopRight = 2,    // below and to the left
    TailTopLeft = 3,     // below and to the right
    TailNone = 4,        // above and to the left, no tail
};

// The measured parts of one notification: the natural sizes of the two labels and the captions'
// lengths in characters (0 = no button).
struct BalloonContent
{
    int tail = TailNone;
    QSize titleSize;
    QSize textSize;
    int button1Chars = 0;
    int button2Chars = 0;
};

// Window-relative positions of every part and the window size. Rectangles are left/top/width/height.
struct BalloonLayout
{
    QRect icon;
    QRect title;
    QRect text;
    std::optional<QRect> button1;
    std::optional<QRect> button2;
    QSize window;
};

// The window region before it becomes pixels: a rounded rectangle (7x7 corner ellipses) given by
// its left, top, right and bottom edges, united with the tail triangle when there is one.
struct BalloonShape
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::vector<QPoint> triangle; // empty or three points
};

// The point the balloon marks and the tail chosen for it.
struct BalloonAnchor
{
    QPoint point;
    int tail = TailNone;
};

inline constexpr int kBalloonIconSize = 16;
inline constexpr int kBalloonButtonHeight = 25;
inline constexpr int kBalloonPixelsPerCaptionChar = 9;

// Lays the parts out for `content`. A tail other than 0 to 4 is laid out like tail 4.
BalloonLayout ComputeBalloonLayout(const BalloonContent& content);

// The window's top-left corner that puts the tail's tip on `point` (tail 4: the window's bottom
// edge on point.y and its right edge 10 px right of point.x).
QPoint BalloonWindowPosition(QPoint point, int tail, QSize window);

// The region outline for a window of `window` size with `tail`.
BalloonShape ComputeBalloonShape(int tail, QSize window);

// The point and tail for a tray icon whose button has its top-left corner at `iconTopLeft` (none
// when the icon's place is unknown), on the monitor `monitor` whose work area (the monitor less the
// desktop's panels) is `workArea`. The tail points up when the icon lies in the monitor's upper half
// and down otherwise, and sits at the balloon's left end when the icon lies in the left half, so
// that the balloon grows toward the middle of the monitor from a tray on any of its edges. Without
// an icon the point is near the bottom-right corner of the work area, without a tail.
BalloonAnchor ChooseBalloonAnchor(const std::optional<QPoint>& iconTopLeft, const QRect& monitor,
                                  const QRect& workArea);

// The window's top-left corner for a balloon of `window` size whose tail marks `point`: where
// BalloonWindowPosition puts it, moved the least distance that brings the whole window inside
// `workArea` (its top-left corner inside when the window is larger). An empty work area moves nothing.
QPoint PlaceBalloonWindow(QPoint point, int tail, QSize window, const QRect& workArea);

} // namespace tern
