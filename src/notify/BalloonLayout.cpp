#include "notify/BalloonLayout.h"

#include <algorithm>

namespace tern {
namespace {

bool TailOnTop(int tail)
{
    return tail == TailTopRight || tail == TailTopLeft;
}

bool TailAtBottom(int tail)
{
    return tail == TailBottomRight || tail == TailBottomLeft;
}

// Right and bottom edges are exclusive: left + width, top + height.
int RightOf(const QRect& r)
{
    return r.x() + r.width();
}

int BottomOf(const QRect& r)
{
    return r.y() + r.height();
}

} // namespace

BalloonLayout ComputeBalloonLayout(const BalloonContent& content)
{
    const int shift = TailOnTop(content.tail) ? 20 : 0;
    BalloonLayout layout;
    layout.title = QRect(QPoint(34, 10 + shift), content.titleSize);
    layout.text = QRect(QPoint(20, BottomOf(layout.title) + 8), content.textSize);
    layout.icon = QRect(10, 10 + shift, kBalloonIconSize, kBalloonIconSize);

    const int textBottom = BottomOf(layout.text);
    int height = textBottom + (TailOnTop(content.tail) ? 10 : TailAtBottom(content.tail) ? 30 : 20);
    int width = std::max(RightOf(layout.title), RightOf(layout.text));

    // A second button is only ever asked for together with the first; alone, it takes the first
    // one's place so that it still lies inside the balloon.
    int firstChars = content.button1Chars;
    int secondChars = content.button2Chars;
    if (firstChars <= 0) {
        firstChars = secondChars;
        secondChars = 0;
    }
    if (firstChars > 0) {
        const int firstWidth = firstChars * kBalloonPixelsPerCaptionChar;
        const int secondWidth = secondChars > 0 ? secondChars * kBalloonPixelsPerCaptionChar : 0;
        // The buttons end at the message's right edge; when the message is narrower than the
        // buttons, they end where they still start at the message's left edge instead of being cut
        // off by the window's left edge.
        const int needed = firstWidth + (secondWidth > 0 ? secondWidth + 5 : 0);
        const int buttonsRight = std::max(RightOf(layout.text), layout.text.x() + needed);
        const QRect first(buttonsRight - firstWidth, textBottom + 10, firstWidth, kBalloonButtonHeight);
        height += kBalloonButtonHeight + 10;
        width = std::max(width, buttonsRight);
        if (content.button1Chars > 0)
            layout.button1 = first;
        else
            layout.button2 = first;
        if (secondWidth > 0)
            layout.button2 = QRect(first.x() - secondWidth - 5, first.y(), secondWidth, kBalloonButtonHeight);
    }
    layout.window = QSize(width + 20, height);
    return layout;
}

QPoint BalloonWindowPosition(QPoint point, int tail, QSize window)
{
    const int w = window.width();
    const int h = window.height();
    switch (tail) {
    case TailBottomRight:
        return {point.x() - w + 20, point.y() - h};
    case TailBottomLeft:
        return {point.x() - 20, point.y() - h};
    case TailTopRight:
        return {point.x() - w + 20, point.y() - 2};
    case TailTopLeft:
        return {point.x() - 20, point.y() - 2};
    default:
        return {point.x() - w + 10, point.y() - h};
    }
}

BalloonShape ComputeBalloonShape(int tail, QSize window)
{
    const int w = window.width();
    const int h = window.height();
    switch (tail) {
    case TailBottomRight:
        return {0, 0, w, h - 18, {{w - 40, h - 20}, {w - 20, h}, {w - 20, h - 20}}};
    case TailBottomLeft:
        return {0, 0, w, h - 18, {{20, h - 20}, {20, h}, {40, h - 20}}};
    case TailTopLeft:
        return {0, 22, w, h, {{20, 2}, {20, 22}, {40, 22}}};
    case TailTopRight:
        return {0, 22, w, h, {{w - 20, 2}, {w - 20, 22}, {w - 40, 22}}};
    default:
        return {0, 0, w, h - 2, {}};
    }
}

BalloonAnchor ChooseBalloonAnchor(const std::optional<QPoint>& iconTopLeft, const QRect& monitor,
                                  const QRect& workArea)
{
    if (!iconTopLeft)
        return {{RightOf(workArea) - 40, BottomOf(workArea) - 20}, TailNone};

    // Integer halves truncate toward zero, as C++ division does.
    const int middleX = monitor.x() + monitor.width() / 2;
    const int middleY = monitor.y() + monitor.height() / 2;
    const int x = iconTopLeft->x() + 8;
    const int y = iconTopLeft->y();
    const bool leftHalf = x < middleX;
    if (y < middleY) // a tray on the top edge, or high on a side edge
        return {{x, y + 16}, leftHalf ? TailTopLeft : TailTopRight};
    return {{x, y + 8}, leftHalf ? TailBottomLeft : TailBottomRight};
}

QPoint PlaceBalloonWindow(QPoint point, int tail, QSize window, const QRect& workArea)
{
    QPoint topLeft = BalloonWindowPosition(point, tail, window);
    if (workArea.isEmpty())
        return topLeft;
    // Right and bottom first, so that a window larger than the area keeps its left and top inside.
    topLeft.setX(std::min(topLeft.x(), RightOf(workArea) - window.width()));
    topLeft.setY(std::min(topLeft.y(), BottomOf(workArea) - window.height()));
    topLeft.setX(std::max(topLeft.x(), workArea.x()));
    topLeft.setY(std::max(topLeft.y(), workArea.y()));
    return topLeft;
}

} // namespace tern
