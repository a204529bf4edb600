#include "annotate/CardinalSpline.h"
#include "annotate/PaintGeometry.h"
#include "annotate/TPaintObject.h"
#include "annotate/TPaintObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tern {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Records the drawing calls of an annotation.
class RecordingSurface final : public PaintSurface
{
public:
    struct Call
    {
        std::string op;
        std::vector<PointF> points;
        std::vector<std::int32_t> box;
        std::u16string text;
        std::uint32_t color = 0;
        double width = 0;
    };

    void strokeCurve(PointF start, const std::vector<BezierSegment>& segments, std::uint32_t color,
                     double width) override
    {
        Call call{"curve", {start}, {}, {}, color, width};
        for (const BezierSegment& s : segments)
            call.points.insert(call.points.end(), {s.control1, s.control2, s.end});
        calls.push_back(call);
    }
    void strokeLine(PointF from, PointF to, std::uint32_t color, double width) override
    {
        calls.push_back({"line", {from, to}, {}, {}, color, width});
    }
    void strokePolyline(const std::vector<PointF>& points, std::uint32_t color, double width) override
    {
        calls.push_back({"polyline", points, {}, {}, color, width});
    }
    void strokeRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                    std::uint32_t color, double penWidth) override
    {
        calls.push_back({"rect", {}, {left, top, width, height}, {}, color, penWidth});
    }
    void strokeEllipse(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                       std::uint32_t color, double penWidth) override
    {
        calls.push_back({"ellipse", {}, {left, top, width, height}, {}, color, penWidth});
    }
    void fillText(std::u16string_view text, double x, double y, std::int32_t emPixels,
                  std::uint32_t color) override
    {
        calls.push_back({"text", {{x, y}}, {emPixels}, std::u16string(text), color, 0});
    }

    std::vector<Call> calls;
};

void ExpectNear(PointF actual, PointF expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

void SetObject(TPaintObject& object, TPaintKind kind, const std::vector<TPointItem>& points,
               std::u16string text = {})
{
    object.Kind = kind;
    object.Points = points;
    object.Text = std::move(text);
}

TEST(AnnotationModel, IsEmptyKeepsOnlyWhatWasDrawnOnPurpose)
{
    // Many tiny steps that add up to 6 pixels and return to the start.
    std::vector<TPointItem> loop;
    for (int i = 0; i <= 3; ++i)
        loop.push_back({i, 0});
    for (int i = 2; i >= 0; --i)
        loop.push_back({i, 0});
    const struct
    {
        TPaintKind kind;
        std::vector<TPointItem> points;
        std::u16string text;
        bool empty;
    } cases[] = {
        {TPaintKind::pkLine, {{0, 0}, {3, 4}}, u"", true},   // exactly 5.0
        {TPaintKind::pkLine, {{0, 0}, {5, 1}}, u"", false},  // about 5.1
        {TPaintKind::pkRect, {{10, 10}}, u"", true},         // pressed, never moved
        {TPaintKind::pkArrow, {{0, 0}, {0, 6}}, u"", false}, //
        {TPaintKind::pkEllipse, {{7, 7}, {7, 7}}, u"", true},
        {TPaintKind::pkFreehand, {{0, 0}}, u"", true},
        {TPaintKind::pkFreehand, {{0, 0}, {3, 4}}, u"", true},
        {TPaintKind::pkFreehand, loop, u"", false},
        {TPaintKind::pkText, {{5, 5}}, u"  \r\n\t ", true},
        {TPaintKind::pkText, {{5, 5}}, u"", true},
        {TPaintKind::pkText, {{5, 5}}, u"\n x", false},
        {TPaintKind::pkText, {{5, 5}}, u"\u3042", false}, // no narrow form, still text
        {TPaintKind::pkNone, {{0, 0}, {100, 100}}, u"", true},
        // A tool number outside the palette draws nothing.
        {PaintKindOfTool(42), {{0, 0}, {100, 100}}, u"x", true},
        {PaintKindOfTool(-1), {{0, 0}, {100, 100}}, u"x", true},
        {PaintKindOfTool(6), {{0, 0}, {100, 100}}, u"", false},
    };
    for (const auto& c : cases) {
        TPaintObject object;
        SetObject(object, c.kind, c.points, c.text);
        EXPECT_EQ(object.IsEmpty(), c.empty)
            << "kind " << static_cast<int>(c.kind) << ", " << c.points.size() << " points";
    }
}

TEST(AnnotationModel, OffsetsMoveEveryPointAndSaturate)
{
    TPaintObject object;
    SetObject(object, TPaintKind::pkFreehand, {{10, 1}, {20, 2}, {kMin + 1, kMax - 1}});
    object.OffsetX(-2);
    EXPECT_EQ(object.Points, (std::vector<TPointItem>{{8, 1}, {18, 2}, {kMin, kMax - 1}}));
    object.OffsetY(5);
    EXPECT_EQ(object.Points, (std::vector<TPointItem>{{8, 6}, {18, 7}, {kMin, kMax}}));

    for (const std::size_t count : {0U, 1U, 3U}) {
        TPaintObject shape;
        for (std::size_t i = 0; i < count; ++i)
            shape.AddPoint(static_cast<std::int32_t>(i), 1);
        shape.KeepFirstPoint();
        EXPECT_EQ(shape.Points.size(), std::min<std::size_t>(count, 1));
        if (count > 0) {
            EXPECT_EQ(shape.Points.front(), (TPointItem{0, 1}));
        }
    }
}

TEST(AnnotationModel, SizesAndColoursStayInsideThePalette)
{
    const struct
    {
        std::int32_t index;
        std::int32_t pen;
        std::int32_t em;
        std::uint32_t color;
    } cases[] = {
        {0, 2, 13, 0xE6FF0000U}, {1, 5, 21, 0xE640CF00U}, {2, 8, 29, 0xE60000FFU}, {3, 8, 29, 0},
        {-1, 2, 13, 0},          {7, 8, 29, 0},           {kMax, 8, 29, 0},        {kMin, 2, 13, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PenWidthOf(c.index), c.pen) << c.index;
        EXPECT_EQ(EmSizeOf(c.index), c.em) << c.index;
        EXPECT_EQ(PaletteColor(c.index), c.color) << c.index;
    }

    // A size index from damaged settings draws at the largest size, never at an absurd one.
    TPaintObject line;
    SetObject(line, TPaintKind::pkLine, {{0, 0}, {50, 0}});
    line.SizeIndex = kMax;
    TPaintObject text;
    SetObject(text, TPaintKind::pkText, {{0, 0}}, u"a");
    text.SizeIndex = kMin;
    RecordingSurface surface;
    line.Draw(surface, true);
    text.Draw(surface, true);
    EXPECT_EQ(surface.calls.front().width, 8);
    EXPECT_EQ(surface.calls.back().box.front(), 13);
}

TEST(AnnotationModel, ShapesDrawFromTheirNormalizedCorners)
{
    for (const TPaintKind kind : {TPaintKind::pkRect, TPaintKind::pkEllipse}) {
        RecordingSurface forward;
        RecordingSurface backward;
        TPaintObject a;
        SetObject(a, kind, {{10, 20}, {110, 70}});
        TPaintObject b;
        SetObject(b, kind, {{110, 70}, {10, 20}});
        a.Draw(forward, false);
        b.Draw(backward, false);
        ASSERT_EQ(forward.calls.size(), 1U);
        ASSERT_EQ(backward.calls.size(), 1U);
        EXPECT_EQ(forward.calls[0].box, (std::vector<std::int32_t>{10, 20, 100, 50}));
        EXPECT_EQ(backward.calls[0].box, forward.calls[0].box);
    }

    // The arrowhead: an open head of two strokes, its tip at the second point, 5 pen widths long
    // and wide.
    TPaintObject arrow;
    SetObject(arrow, TPaintKind::pkArrow, {{100, 50}, {20, 50}});
    arrow.SizeIndex = 1;
    RecordingSurface surface;
    arrow.Draw(surface, true);
    ASSERT_EQ(surface.calls.size(), 2U);
    EXPECT_EQ(surface.calls[0].op, "line");
    const auto& head = surface.calls[1];
    ASSERT_EQ(head.op, "polyline");
    ASSERT_EQ(head.points.size(), 3U);
    EXPECT_EQ(head.points[1], (PointF{20, 50}));
    for (const std::size_t corner : {0U, 2U}) {
        EXPECT_DOUBLE_EQ(head.points[corner].x, 45.0);
        EXPECT_DOUBLE_EQ(std::abs(head.points[corner].y - 50), 12.5);
    }

    // One point draws nothing, for every shape and for freehand.
    for (const TPaintKind kind : {TPaintKind::pkFreehand, TPaintKind::pkLine, TPaintKind::pkRect,
                                  TPaintKind::pkArrow, TPaintKind::pkEllipse}) {
        TPaintObject dot;
        SetObject(dot, kind, {{5, 5}});
        RecordingSurface none;
        dot.Draw(none, false);
        EXPECT_TRUE(none.calls.empty()) << static_cast<int>(kind);
    }
}

TEST(AnnotationModel, TextHasANineFoldHaloAndACaretOnlyWhenNewestAndNotFinal)
{
    TPaintObjects objects;
    TPaintObject& older = objects.Add();
    SetObject(older, TPaintKind::pkText, {{40, 60}}, u"old");
    older.CaretOn = true;
    TPaintObject& newest = objects.Add();
    SetObject(newest, TPaintKind::pkText, {{10, 20}}, u"ab\ncd");
    newest.Color = 0xE60000FFU;
    newest.SizeIndex = 2;

    RecordingSurface surface;
    newest.Draw(surface, false);
    ASSERT_EQ(surface.calls.size(), 10U);
    std::vector<PointF> origins;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            origins.push_back({10.0 - i, 20.0 - j});
    for (std::size_t k = 0; k < 9; ++k) {
        EXPECT_EQ(surface.calls[k].points.front(), origins[k]);
        EXPECT_EQ(surface.calls[k].color, 0xFFFFFFFFU);
    }
    EXPECT_EQ(surface.calls[9].points.front(), (PointF{10, 20}));
    EXPECT_EQ(surface.calls[9].color, 0xE60000FFU);
    EXPECT_EQ(surface.calls[9].box.front(), 29);

    // Two non-final drawings: the caret in exactly one; the final one leaves the phase alone.
    std::vector<std::u16string> shown{surface.calls[9].text};
    surface.calls.clear();
    newest.Draw(surface, false);
    shown.push_back(surface.calls[9].text);
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_TRUE((shown[0] == u"ab\ncd|") != (shown[1] == u"ab\ncd|"));
    for (const bool phase : {false, true}) {
        newest.CaretOn = phase;
        surface.calls.clear();
        newest.Draw(surface, true);
        EXPECT_EQ(surface.calls[9].text, u"ab\ncd");
        EXPECT_EQ(newest.CaretOn, phase);
    }
    surface.calls.clear();
    older.Draw(surface, false);
    EXPECT_EQ(surface.calls[9].text, u"old");
    EXPECT_TRUE(older.CaretOn);
}

TEST(AnnotationModel, CardinalSplinePassesThroughEveryPointWithHalfTension)
{
    EXPECT_TRUE(CardinalSplineSegments({{1, 1}}).empty());
    const std::vector<PointF> points{{0, 0}, {30, 0}, {30, 30}, {0, 60}};
    const std::vector<BezierSegment> segments = CardinalSplineSegments(points);
    ASSERT_EQ(segments.size(), 3U);
    for (std::size_t i = 0; i < segments.size(); ++i)
        EXPECT_EQ(segments[i].end, points[i + 1]);
    // Tangent at point 1 is 0.5 * (P2 - P0) = (15, 15); the controls lie a third of it away.
    ExpectNear(segments[0].control2, PointF{25, -5});
    ExpectNear(segments[1].control1, PointF{35, 5});
    // The ends repeat their own point: the first control lies on the way to the second point.
    ExpectNear(segments[0].control1, PointF{5, 0});
    ExpectNear(segments[2].control2, PointF{5, 55});
}

TEST(AnnotationModel, FrameZonesPreferHandlesOverTheInside)
{
    const TRect r{100, 100, 300, 200};
    const struct
    {
        std::int32_t x, y, zone;
    } cases[] = {
        {95, 95, fzTopLeft},   {104, 104, fzTopLeft},     {105, 105, fzInside},    {94, 100, fzOutside},
        {295, 95, fzTopRight}, {304, 104, fzTopRight},    {305, 100, fzOutside},   {300, 150, fzOutside},
        {299, 150, fzInside},  {295, 195, fzBottomRight}, {99, 204, fzBottomLeft}, {200, 199, fzInside},
        {200, 200, fzOutside}, {100, 150, fzInside},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameHitZone(r, c.x, c.y), c.zone) << c.x << "," << c.y;
    // A selection without area: all four handles sit on one point and the top-left one wins.
    EXPECT_EQ(FrameHitZone(TRect{}, 0, 0), fzTopLeft);
    EXPECT_EQ(FrameHitZone(TRect{}, 5, 5), fzOutside);
    EXPECT_EQ(NormalizedRect({50, 80, 10, 20}), (TRect{10, 20, 50, 80}));
}

TEST(AnnotationModel, CollectionOwnsItsItemsInOrder)
{
    TPaintObjects objects;
    EXPECT_EQ(objects.Last(), nullptr);
    TPaintObject& first = objects.Add();
    TPaintObject& second = objects.Add();
    EXPECT_FALSE(first.isNewest());
    EXPECT_TRUE(second.isNewest());
    const std::uint64_t revision = objects.revision();
    objects.Delete(5);
    objects.Delete(-1);
    EXPECT_EQ(objects.revision(), revision);
    objects.Delete(1);
    EXPECT_NE(objects.revision(), revision);
    EXPECT_EQ(objects.Count(), 1);
    EXPECT_TRUE(first.isNewest());
    EXPECT_EQ(&objects.Items(0), &first);
}

} // namespace
} // namespace tern
