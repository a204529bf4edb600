#include "notify/BalloonLayout.h"
#include "notify/BalloonRegion.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tern {
namespace {

BalloonContent Content(int tail, int button1Chars = 0, int button2Chars = 0)
{
    BalloonContent content;
    content.tail = tail;
    content.titleSize = QSize(100, 18);
    content.textSize = QSize(150, 30);
    content.button1Chars = button1Chars;
    content.button2Chars = button2Chars;
    return content;
}

TEST(BalloonLayoutTest, PartsMoveDownForTopTailsAndHeightDependsOnTheTail)
{
    struct Case
    {
        int tail;
        int contentTop; // icon and title
        int textTop;
        int height;
    };
    // Title 18 high: the message starts 8 px below it; the window ends 30/10/20 px below the message.
    const Case cases[] = {
        {TailBottomRight, 10, 36, 96}, {TailBottomLeft, 10, 36, 96}, {TailTopRight, 30, 56, 96},
        {TailTopLeft, 30, 56, 96},     {TailNone, 10, 36, 86},       {7, 10, 36, 86},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        const BalloonLayout layout = ComputeBalloonLayout(Content(c.tail));
        EXPECT_EQ(layout.icon, QRect(10, c.contentTop, 16, 16));
        EXPECT_EQ(layout.title, QRect(34, c.contentTop, 100, 18));
        EXPECT_EQ(layout.text, QRect(20, c.textTop, 150, 30));
        EXPECT_EQ(layout.window, QSize(190, c.height)); // widest label right edge 170, + 20
        EXPECT_FALSE(layout.button1);
        EXPECT_FALSE(layout.button2);
    }
}

TEST(BalloonLayoutTest, LabelSizesDriveTheWindowSize)
{
    BalloonContent content = Content(TailBottomRight);
    content.titleSize = QSize(300, 18); // a long title: its right edge 334 decides the width
    EXPECT_EQ(ComputeBalloonLayout(content).window, QSize(354, 96));
    content.textSize = QSize(150, 75); // more lines: taller by the extra height
    EXPECT_EQ(ComputeBalloonLayout(content).window, QSize(354, 141));
}

TEST(BalloonLayoutTest, ButtonsSitBelowTheMessageRightAligned)
{
    const BalloonLayout one = ComputeBalloonLayout(Content(TailBottomRight, 8));
    ASSERT_TRUE(one.button1);
    EXPECT_EQ(*one.button1, QRect(170 - 72, 76, 72, 25)); // 8 characters: 72 px, ends with the message
    EXPECT_FALSE(one.button2);
    EXPECT_EQ(one.window, QSize(190, 96 + 35));

    const BalloonLayout two = ComputeBalloonLayout(Content(TailTopRight, 8, 5));
    ASSERT_TRUE(two.button1 && two.button2);
    EXPECT_EQ(*two.button1, QRect(98, 96, 72, 25));
    EXPECT_EQ(*two.button2, QRect(98 - 5 - 45, 96, 45, 25));
    EXPECT_EQ(two.window, QSize(190, 96 + 35));

    // A second caption alone takes the first button's place and still adds the button row.
    const BalloonLayout alone = ComputeBalloonLayout(Content(TailNone, 0, 5));
    EXPECT_FALSE(alone.button1);
    ASSERT_TRUE(alone.button2);
    EXPECT_EQ(*alone.button2, QRect(125, 76, 45, 25));
    EXPECT_EQ(alone.window.height(), 86 + 35);
}

TEST(BalloonLayoutTest, ButtonsWiderThanTheMessageStayInsideTheWindow)
{
    BalloonContent content = Content(TailBottomRight, 17, 6);
    content.textSize = QSize(40, 15);
    content.titleSize = QSize(30, 18);
    const BalloonLayout layout = ComputeBalloonLayout(content);
    ASSERT_TRUE(layout.button1 && layout.button2);
    EXPECT_EQ(layout.button2->x(), 20); // starts with the message instead of left of the window
    EXPECT_EQ(layout.button1->x() + layout.button1->width(), 20 + 54 + 5 + 153);
    EXPECT_EQ(layout.window.width(), 20 + 54 + 5 + 153 + 20);
}

TEST(BalloonLayoutTest, TheTailTipLandsOnThePoint)
{
    const QSize size(200, 100);
    const QPoint point(1000, 700);
    struct Case
    {
        int tail;
        QPoint topLeft;
        QPoint tip; // window-relative
    };
    const Case cases[] = {
        {TailBottomRight, {820, 600}, {180, 100}},
        {TailBottomLeft, {980, 600}, {20, 100}},
        {TailTopRight, {820, 698}, {180, 2}},
        {TailTopLeft, {980, 698}, {20, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        const QPoint topLeft = BalloonWindowPosition(point, c.tail, size);
        EXPECT_EQ(topLeft, c.topLeft);
        EXPECT_EQ(topLeft + c.tip, point);
        const std::vector<QPoint> triangle = ComputeBalloonShape(c.tail, size).triangle;
        EXPECT_NE(std::find(triangle.begin(), triangle.end(), c.tip), triangle.end());
    }
    // Without a tail: the bottom edge on the point, the right edge 10 px right of it.
    EXPECT_EQ(BalloonWindowPosition(point, TailNone, size) + QPoint(200, 100), QPoint(1010, 700));
}

TEST(BalloonLayoutTest, ShapeTablePerTail)
{
    const QSize size(200, 100);
    using Points = std::vector<QPoint>;
    struct Case
    {
        int tail;
        int left, top, right, bottom;
        Points triangle;
    };
    const Case cases[] = {
        {TailNone, 0, 0, 200, 98, {}},
        {TailBottomRight, 0, 0, 200, 82, {{160, 80}, {180, 100}, {180, 80}}},
        {TailBottomLeft, 0, 0, 200, 82, {{20, 80}, {20, 100}, {40, 80}}},
        {TailTopLeft, 0, 22, 200, 100, {{20, 2}, {20, 22}, {40, 22}}},
        {TailTopRight, 0, 22, 200, 100, {{180, 2}, {180, 22}, {160, 22}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        const BalloonShape shape = ComputeBalloonShape(c.tail, size);
        EXPECT_EQ(shape.left, c.left);
        EXPECT_EQ(shape.top, c.top);
        EXPECT_EQ(shape.right, c.right);
        EXPECT_EQ(shape.bottom, c.bottom);
        EXPECT_EQ(shape.triangle, c.triangle);
    }
}

TEST(BalloonLayoutTest, RegionIsRoundedBodyPlusTailWithAOnePixelFrame)
{
    const QSize size(200, 100);
    const QRegion region = BalloonRegion(ComputeBalloonShape(TailBottomRight, size));
    EXPECT_TRUE(region.contains(QPoint(100, 40)));
    EXPECT_TRUE(region.contains(QPoint(0, 40)));
    EXPECT_TRUE(region.contains(QPoint(199, 40)));
    EXPECT_FALSE(region.contains(QPoint(0, 0))); // rounded corner
    EXPECT_TRUE(region.contains(QPoint(3, 3)));
    EXPECT_FALSE(region.contains(QPoint(100, 90))); // below the body, away from the tail
    EXPECT_TRUE(region.contains(QPoint(178, 96)));  // inside the tail near its tip
    EXPECT_FALSE(region.contains(QPoint(170, 96))); // beside the tail

    const QRegion frame = RegionFrame(region);
    EXPECT_TRUE(frame.contains(QPoint(0, 40)));
    EXPECT_TRUE(frame.contains(QPoint(199, 40)));
    EXPECT_TRUE(frame.contains(QPoint(100, 0)));
    EXPECT_FALSE(frame.contains(QPoint(1, 40)));
    EXPECT_FALSE(frame.contains(QPoint(100, 40)));
    EXPECT_TRUE(frame.subtracted(region).isEmpty());

    const QRegion top = BalloonRegion(ComputeBalloonShape(TailTopRight, size));
    EXPECT_FALSE(top.contains(QPoint(100, 10))); // above the body
    EXPECT_TRUE(top.contains(QPoint(179, 10)));  // in the tail
    EXPECT_TRUE(top.contains(QPoint(100, 60)));
}

TEST(BalloonLayoutTest, AnchorFollowsTheTaskbarAndFallsBackToTheWorkAreaCorner)
{
    const QRect monitor(0, 0, 1920, 1080);
    struct Case
    {
        std::optional<QPoint> icon;
        QPoint point;
        int tail;
    };
    const Case cases[] = {
        {QPoint(1800, 1050), {1808, 1058}, TailBottomRight}, // bottom taskbar, right half: +8, +8
        {QPoint(100, 1050), {108, 1058}, TailBottomLeft},    // left half
        {QPoint(951, 1050), {959, 1058}, TailBottomLeft},    // 959 < 960
        {QPoint(952, 1050), {960, 1058}, TailBottomRight},
        {QPoint(1800, 4), {1808, 20}, TailTopRight},       // top taskbar: +16
        {QPoint(100, 4), {108, 20}, TailTopLeft},          // top left: the balloon grows to the right
        {QPoint(1800, 540), {1808, 548}, TailBottomRight}, // the middle row counts as the bottom
        {std::nullopt, {1880, 1060}, TailNone},
    };
    for (const Case& c : cases) {
        const BalloonAnchor anchor = ChooseBalloonAnchor(c.icon, monitor, monitor);
        EXPECT_EQ(anchor.point, c.point) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(anchor.tail, c.tail) << c.point.x() << "," << c.point.y();
    }

    // A second monitor: halves come from its own rectangle, the fallback corner from its work area.
    const QRect second(1920, 100, 1281, 1025);
    const QRect secondWork(1920, 100, 1281, 985); // a 40-pixel panel at the bottom
    EXPECT_EQ(ChooseBalloonAnchor(QPoint(2400, 1000), second, secondWork).tail,
              TailBottomLeft); // 2408 < 2560
    EXPECT_EQ(ChooseBalloonAnchor(QPoint(2560, 1000), second, secondWork).tail, TailBottomRight);
    EXPECT_EQ(ChooseBalloonAnchor(QPoint(3000, 611), second, secondWork).tail, TailTopRight); // 611 < 612
    const BalloonAnchor fallback = ChooseBalloonAnchor(std::nullopt, second, secondWork);
    const QSize size(250, 90);
    const QPoint corner =
        PlaceBalloonWindow(fallback.point, fallback.tail, size, secondWork) + QPoint(250, 90);
    EXPECT_EQ(corner, QPoint(1920 + 1281 - 30, 100 + 985 - 20));
}

// The screen point the tail's tip marks, for a window placed at `window`.
QPoint TipOf(const QRect& window, int tail)
{
    switch (tail) {
    case TailBottomRight:
        return {window.right() + 1 - 20, window.bottom() + 1};
    case TailBottomLeft:
        return {window.x() + 20, window.bottom() + 1};
    case TailTopRight:
        return {window.right() + 1 - 20, window.y() + 2};
    default:
        return {window.x() + 20, window.y() + 2};
    }
}

TEST(BalloonLayoutTest, AtEveryTrayEdgeTheBalloonLiesInsideTheWorkAreaAndPointsAtTheIcon)
{
    // Icons as a tray of 32 pixels shows them (22 x 30 inside the strip), on a monitor that is not the
    // first one, with a work area that either leaves the tray out or is the whole monitor.
    const QRect monitor(1000, 200, 1920, 1080);
    const QRect whole = monitor;
    struct Case
    {
        const char* tray;
        QRect icon;
        QRect workArea;
        bool tailOnTop;
    };
    const Case cases[] = {
        {"top edge, right end", {2897, 201, 22, 30}, whole, true},
        {"top edge, left end", {1001, 201, 22, 30}, whole, true},
        {"bottom edge, right end", {2897, 1249, 22, 30}, whole, false},
        {"bottom edge, left end", {1001, 1249, 22, 30}, whole, false},
        {"left edge, top end", {1001, 201, 30, 22}, whole, true},
        {"left edge, bottom end", {1001, 1257, 30, 22}, whole, false},
        {"right edge, top end", {2889, 201, 30, 22}, whole, true},
        {"right edge, bottom end", {2889, 1257, 30, 22}, whole, false},
        {"right edge, below the middle", {2889, 745, 30, 22}, whole, false},
        {"top edge, panel outside the work area", {2897, 201, 22, 30}, {1000, 232, 1920, 1048}, true},
        {"left edge, panel outside the work area", {1001, 201, 30, 22}, {1032, 200, 1888, 1080}, true},
    };
    for (const QSize size : {QSize(330, 110), QSize(600, 140)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.tray) + ", width " + std::to_string(size.width()));
            const BalloonAnchor anchor = ChooseBalloonAnchor(c.icon.topLeft(), monitor, c.workArea);
            EXPECT_EQ(anchor.tail == TailTopLeft || anchor.tail == TailTopRight, c.tailOnTop);
            const QRect window(PlaceBalloonWindow(anchor.point, anchor.tail, size, c.workArea), size);
            EXPECT_TRUE(c.workArea.contains(window)) << window.x() << "," << window.y();
            // Where the tray lies inside the work area the tail still points into the icon.
            if (c.workArea == whole) {
                const QPoint tip = TipOf(window, anchor.tail);
                EXPECT_GE(tip.x(), c.icon.left());
                EXPECT_LE(tip.x(), c.icon.right());
                EXPECT_TRUE(c.tailOnTop ? tip.y() > c.icon.top() : tip.y() <= c.icon.bottom() + 1);
            }
        }
    }

    // Where nothing needs moving the tip lands on the point itself; a window larger than the area
    // keeps its top-left corner inside.
    const QRect area(0, 0, 800, 600);
    EXPECT_EQ(PlaceBalloonWindow({500, 300}, TailBottomRight, {200, 80}, area), QPoint(320, 220));
    EXPECT_EQ(PlaceBalloonWindow({500, 300}, TailBottomRight, {200, 80}, QRect()), QPoint(320, 220));
    EXPECT_EQ(PlaceBalloonWindow({790, 590}, TailNone, {900, 700}, area), QPoint(0, 0));
}

} // namespace
} // namespace tern
