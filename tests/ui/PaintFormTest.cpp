#include "annotate/AnnotationFont.h"
#include "annotate/FrameCopy.h"
#include "annotate/OutputView.h"
#include "annotate/QtPaintSurface.h"
#include "annotate/TPaintForm.h"
#include "platform/fake/FakeScreenCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace tern {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFFU;

// A desktop whose every pixel differs from its neighbours and from the annotation colours.
platform::ScreenPicture Pattern(int left, int top, int width, int height)
{
    platform::ScreenPicture picture{left, top, width, height, {}};
    picture.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back(0xFF000000U | ((x * 7) % 128 + 64) << 16 | ((y * 5) % 128 + 64) << 8 |
                                     ((x + y) % 128 + 64));
    return picture;
}

struct FrozenDesktop
{
    explicit FrozenDesktop(int left = -300, int top = -40, int width = 640, int height = 400)
    {
        capture.desktop = Pattern(left, top, width, height);
        form = std::make_unique<TPaintForm>(capture, [] { return std::string("Select an area"); });
        form->setGeometry(0, 0, width, height);
    }

    TPaintObject& add(TPaintKind kind, std::vector<TPointItem> points, std::u16string text = {})
    {
        TPaintObject& object = form->AddObject();
        object.Kind = kind;
        object.Points = std::move(points);
        object.Text = std::move(text);
        object.SizeIndex = 1;
        return object;
    }

    QImage paint(const QRegion& region)
    {
        QImage image(form->desktopGeometry().size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        form->PaintRegion(painter, region);
        return image;
    }

    QImage paintAll() { return paint(QRegion(QRect(QPoint(0, 0), form->desktopGeometry().size()))); }

    platform::fake::FakeScreenCapture capture;
    std::unique_ptr<TPaintForm> form;
};

// One annotation drawn alone on a white picture.
QImage Render(TPaintObject& object, bool Final, QSize size = {200, 120})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    QtPaintSurface surface(painter);
    object.Draw(surface, Final);
    return image;
}

// The rows [first, last] in which column range [x0, x1] holds a non-white pixel.
std::pair<int, int> InkRows(const QImage& image, int x0, int x1)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = x0; x <= x1; ++x)
            if (image.pixel(x, y) != kWhite) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

void SaveArtifact(const QImage& image, const QString& name)
{
    const QString folder = qEnvironmentVariable("TERN_ARTIFACTS_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(name));
}

TEST(PaintForm, FreezesTheWholeVirtualDesktopAndShowsItDimmed)
{
    FrozenDesktop desk(-300, -40, 640, 400);
    EXPECT_EQ(desk.capture.captures, 1);
    EXPECT_EQ(desk.form->desktopGeometry(), QRect(-300, -40, 640, 400));
    ASSERT_EQ(desk.form->CleanShot.size(), QSize(640, 400));
    EXPECT_EQ(desk.form->CleanShot.format(), QImage::Format_RGB32);
    desk.form->SetSelection({300, 200, 400, 300});
    const QImage frame = desk.paintAll();
    // Black at alpha 28 over every channel, as the raster engine lays it: about 11 % darker.
    QImage veiled(desk.form->CleanShot.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QPainter(&veiled).fillRect(veiled.rect(), QColor::fromRgba(0x1C000000U));
    for (const QPoint p :
         {QPoint(0, 0), QPoint(639, 399), QPoint(300, 40), QPoint(17, 333), QPoint(150, 2)}) {
        const QRgb frozen = desk.capture.desktop.pixels[static_cast<std::size_t>(p.y()) * 640 + p.x()];
        EXPECT_EQ(desk.form->CleanShot.pixel(p), frozen);
        EXPECT_EQ(frame.pixel(p), DimmedPixel(frozen));
        EXPECT_EQ(frame.pixel(p), veiled.pixel(p));
    }
    EXPECT_EQ(frame.pixel(305, 205), desk.form->CleanShot.pixel(305, 205));
    for (const QRgb channel : {0U, 1U, 127U, 128U, 254U, 255U})
        EXPECT_EQ(qRed(DimmedPixel(qRgb(int(channel), 0, 0))), int((channel * 227 + 127) / 255)) << channel;
}

TEST(PaintForm, ResultIsTheFrozenDesktopWhereNothingIsDrawnAndClipsAtTheSelection)
{
    FrozenDesktop desk;
    desk.form->SetSelection({350, 280, 50, 80});
    EXPECT_EQ(desk.form->Selection, (TRect{50, 80, 350, 280}));
    const QImage clean = desk.form->ResultBitmap();
    ASSERT_EQ(clean.size(), QSize(300, 200));
    EXPECT_EQ(clean.convertToFormat(QImage::Format_RGB32), desk.form->CleanShot.copy(50, 80, 300, 200));

    // A line across the whole desktop: inside the selection it reaches both edges, outside it is
    // not drawn, and the rest of the result is still the frozen desktop.
    desk.add(TPaintKind::pkLine, {{0, 150}, {640, 150}});
    const QImage drawn = desk.form->ResultBitmap();
    for (const int x : {0, 299}) {
        EXPECT_GE(qRed(drawn.pixel(x, 70)), 230) << x;
        EXPECT_LE(qGreen(drawn.pixel(x, 70)), 25) << x;
    }
    for (int y = 0; y < 200; ++y)
        if (y < 64 || y > 76) {
            for (int x = 0; x < 300; x += 7)
                ASSERT_EQ(drawn.pixel(x, y), desk.form->CleanShot.pixel(50 + x, 80 + y)) << x << "," << y;
        }
    const QImage frame = desk.paintAll();
    EXPECT_EQ(frame.pixel(20, 150), DimmedPixel(desk.form->CleanShot.pixel(20, 150)));
    EXPECT_EQ(frame.pixel(600, 150), DimmedPixel(desk.form->CleanShot.pixel(600, 150)));

    desk.form->SetSelection({100, 100, 100, 300});
    EXPECT_TRUE(desk.form->ResultBitmap().isNull());
}

// Before an area exists only the hint shows: no handles or size label pile up at the corner, and no
// outline along a selection of no width or height.
TEST(PaintForm, NothingButTheHintWithoutAnArea)
{
    FrozenDesktop desk;
    for (const TRect selection : {TRect{0, 0, 0, 0}, TRect{100, 100, 300, 100}, TRect{50, 20, 50, 380}}) {
        desk.form->SetSelection(selection);
        for (const bool frameMode : {true, false}) {
            desk.form->SetFrameMode(frameMode);
            const QImage frame = desk.paintAll();
            const QRect around =
                QRect(selection.Left, selection.Top, selection.width() + 1, selection.height() + 1)
                    .adjusted(-30, -30, 30, 30);
            int changed = 0;
            for (int y = std::max(0, around.top()); y <= std::min(399, around.bottom()); ++y)
                for (int x = std::max(0, around.left()); x <= std::min(639, around.right()); ++x)
                    changed += frame.pixel(x, y) != DimmedPixel(desk.form->CleanShot.pixel(x, y)) ? 1 : 0;
            EXPECT_EQ(changed, 0) << selection.Left << "," << selection.Top << " frame mode " << frameMode;
        }
    }
}

// The hint's white halo is a smooth band around the glyphs: every pixel near the text is lit, and its
// outer edge fades through grey.
TEST(PaintForm, TheHintHasAnAntialiasedHalo)
{
    platform::fake::FakeScreenCapture capture;
    capture.desktop = {0, 0, 600, 160, std::vector<std::uint32_t>(600 * 160, 0xFF000000U)};
    TPaintForm form(capture, [] { return std::string("Select an area and draw"); });
    QImage frame(600, 160, QImage::Format_RGB32);
    {
        QPainter painter(&frame);
        form.PaintRegion(painter, QRegion(frame.rect()));
    }
    SaveArtifact(frame, "selector-hint-halo.png");
    const auto isText = [&frame](int x, int y) {
        const QRgb p = frame.pixel(x, y);
        return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
    };
    int text = 0;
    int unlit = 0;
    int grey = 0;
    for (int y = 2; y < 158; ++y)
        for (int x = 2; x < 598; ++x) {
            const QRgb p = frame.pixel(x, y);
            grey += qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) > 20 && qRed(p) < 235 ? 1 : 0;
            if (!isText(x, y))
                continue;
            ++text;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    unlit += frame.pixel(x + dx, y + dy) == 0xFF000000U ? 1 : 0;
        }
    EXPECT_GT(text, 100);
    EXPECT_EQ(unlit, 0);
    EXPECT_GT(grey, 50);
}

TEST(PaintForm, RectangleFromEitherCornerIsIdenticalAndArrowHeadSitsAtTheRelease)
{
    for (const TPaintKind kind : {TPaintKind::pkRect, TPaintKind::pkEllipse}) {
        TPaintObject forward;
        forward.Kind = kind;
        forward.Color = kPaletteColors[0];
        forward.Points = {{30, 20}, {170, 100}};
        TPaintObject backward;
        backward.Kind = kind;
        backward.Color = kPaletteColors[0];
        backward.Points = {{170, 100}, {30, 20}};
        const QImage a = Render(forward, true);
        EXPECT_EQ(a, Render(backward, true)) << static_cast<int>(kind);
        EXPECT_EQ(a.pixel(100, 60), kWhite);
    }
    const QImage rect = [] {
        TPaintObject r;
        r.Kind = TPaintKind::pkRect;
        r.Color = kPaletteColors[2];
        r.Points = {{30, 20}, {170, 100}};
        return Render(r, true);
    }();
    EXPECT_EQ(qBlue(rect.pixel(30, 60)), 255);
    EXPECT_EQ(qBlue(rect.pixel(100, 100)), 255);
    EXPECT_EQ(InkRows(rect, 100, 100), std::make_pair(19, 100));

    for (const bool rightwards : {true, false}) {
        TPaintObject arrow;
        arrow.Kind = TPaintKind::pkArrow;
        arrow.Color = kPaletteColors[1];
        arrow.SizeIndex = 1;
        arrow.Points = rightwards ? std::vector<TPointItem>{{20, 60}, {180, 60}}
                                  : std::vector<TPointItem>{{180, 60}, {20, 60}};
        const QImage image = Render(arrow, false);
        const auto nearRelease = rightwards ? InkRows(image, 160, 176) : InkRows(image, 24, 40);
        const auto nearStart = rightwards ? InkRows(image, 24, 40) : InkRows(image, 160, 176);
        // The head is 25 pixels long and wide; the shaft is 5 pixels thick.
        EXPECT_GE(nearRelease.second - nearRelease.first, 16) << rightwards;
        EXPECT_LE(nearStart.second - nearStart.first, 6) << rightwards;
        // Open head: the middle of it, off the shaft, is unpainted.
        EXPECT_EQ(image.pixel(rightwards ? 160 : 39, 54), kWhite);
        // Nothing beyond the tip but the round end of the strokes.
        EXPECT_EQ(InkRows(image, rightwards ? 185 : 0, rightwards ? 199 : 14).first, -1);
    }
}

TEST(PaintForm, CaretOnlyInNonFinalPicturesOfTheNewestText)
{
    TPaintObjects objects;
    TPaintObject& older = objects.Add();
    older.Kind = TPaintKind::pkText;
    older.Points = {{10, 10}};
    older.Text = u"Old";
    older.CaretOn = true;
    TPaintObject& newest = objects.Add();
    newest.Kind = TPaintKind::pkText;
    newest.Points = {{10, 50}};
    newest.Text = u"New";
    newest.Color = kPaletteColors[0];

    const QImage finalPicture = Render(newest, true);
    const QImage first = Render(newest, false);
    const QImage second = Render(newest, false);
    EXPECT_NE(first, second);
    EXPECT_TRUE((first == finalPicture) != (second == finalPicture));
    EXPECT_EQ(Render(older, false), Render(older, true));

    // While the frame is shown the pictures are final: painting never flips the caret.
    FrozenDesktop desk;
    desk.form->SetSelection({0, 0, 300, 200});
    TPaintObject& text = desk.add(TPaintKind::pkText, {{20, 20}}, u"Hello");
    text.CaretOn = true;
    desk.paintAll();
    EXPECT_TRUE(text.CaretOn);
    desk.form->SetFrameMode(false);
    desk.paintAll();
    EXPECT_FALSE(text.CaretOn);
}

TEST(PaintForm, TextIsTahomaWithAWhiteHaloAndLineFeedsMakeLines)
{
    if (QFile::exists(QString::fromUtf8(kTahomaFile))) {
        EXPECT_EQ(AnnotationFamily(), QStringLiteral("Tahoma"));
    }
    TPaintObject one;
    one.Kind = TPaintKind::pkText;
    one.Points = {{10, 10}};
    one.Text = u"Tern";
    one.Color = kPaletteColors[2];
    TPaintObject two;
    two.Kind = TPaintKind::pkText;
    two.Points = {{10, 10}};
    two.Text = u"Tern\nTern";
    two.Color = kPaletteColors[2];
    for (const std::int32_t size : {0, 2}) {
        one.SizeIndex = two.SizeIndex = size;
        const auto ink = [](const QImage& image) {
            int blue = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    blue += qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 60 ? 1 : 0;
            return blue;
        };
        const QImage single = Render(one, true);
        const QImage twoLines = Render(two, true);
        const auto singleRows = InkRows(single, 0, 199);
        const auto doubleRows = InkRows(twoLines, 0, 199);
        EXPECT_GE(singleRows.first, 9);
        EXPECT_GT(doubleRows.second - doubleRows.first, 2 * (singleRows.second - singleRows.first) - 4);
        EXPECT_GT(ink(single), 20);
        // The halo: on a black background the text is ringed with white.
        QImage dark(200, 120, QImage::Format_RGB32);
        dark.fill(Qt::black);
        {
            QPainter painter(&dark);
            QtPaintSurface surface(painter);
            one.Draw(surface, true);
        }
        int white = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                white += dark.pixel(x, y) == kWhite ? 1 : 0;
        EXPECT_GT(white, 20) << size;
    }
}

TEST(PaintForm, RegionRepaintsAndUnderlayMatchTheWholeFrame)
{
    FrozenDesktop desk;
    desk.form->SetSelection({60, 50, 560, 350});
    desk.add(TPaintKind::pkRect, {{100, 100}, {300, 200}});
    desk.add(TPaintKind::pkFreehand, {{80, 300}, {120, 260}, {180, 310}, {260, 250}, {700, 330}});
    desk.add(TPaintKind::pkEllipse, {{320, 80}, {520, 180}}).Color = kPaletteColors[1];
    desk.add(TPaintKind::pkText, {{330, 220}}, u"Look here\nand here");
    desk.add(TPaintKind::pkArrow, {{20, 20}, {250, 150}});

    for (const bool frameMode : {true, false}) {
        desk.form->SetFrameMode(frameMode);
        const QImage whole = desk.paintAll();
        QImage pieces(whole.size(), QImage::Format_RGB32);
        pieces.fill(Qt::black);
        {
            QPainter painter(&pieces);
            for (const QRect& quarter : {QRect(0, 0, 320, 200), QRect(320, 0, 320, 200),
                                         QRect(0, 200, 320, 200), QRect(320, 200, 320, 200)})
                desk.form->PaintRegion(painter, QRegion(quarter));
        }
        EXPECT_EQ(pieces, whole) << frameMode;
        desk.form->Compose(false);
        desk.form->DrawFrame();
        EXPECT_EQ(desk.form->BackBuffer.convertToFormat(QImage::Format_RGB32), whole) << frameMode;
        SaveArtifact(whole, frameMode ? "paint-form-adjusting.png" : "paint-form-drawing.png");
    }

    // The live picture takes older annotations from the underlay; the final one draws them all
    // directly: inside the selection, away from the frame and its label, the two agree.
    desk.form->SetFrameMode(true);
    const QImage live = desk.paintAll();
    desk.form->Compose(true);
    const QImage direct = desk.form->BackBuffer;
    const QRect label(310 - 40, 200 - 12, 80, 24);
    for (int y = 60; y < 340; ++y)
        for (int x = 70; x < 550; ++x)
            if (!label.contains(x, y)) {
                ASSERT_EQ(live.pixel(x, y), direct.pixel(x, y)) << x << "," << y;
            }

    // A shape dragged over the saved underlay looks the same as one composed over everything.
    FrozenDesktop other;
    for (FrozenDesktop* d : {&desk, &other}) {
        d->form->SetSelection({60, 50, 560, 350});
        d->form->SetFrameMode(false);
    }
    other.add(TPaintKind::pkRect, {{100, 100}, {300, 200}});
    other.add(TPaintKind::pkFreehand, {{80, 300}, {120, 260}, {180, 310}, {260, 250}, {700, 330}});
    other.add(TPaintKind::pkEllipse, {{320, 80}, {520, 180}}).Color = kPaletteColors[1];
    other.add(TPaintKind::pkText, {{330, 220}}, u"Look here\nand here");
    other.add(TPaintKind::pkArrow, {{20, 20}, {250, 150}});
    for (FrozenDesktop* d : {&desk, &other}) {
        TPaintObject& line = d->form->AddObject();
        line.SizeIndex = 2;
        line.AddPoint(400, 300);
        if (d == &desk)
            desk.form->SaveUnderlay();
        line.Kind = TPaintKind::pkLine;
        line.AddPoint(150, 120);
        d->form->PaintOnWindow(line);
    }
    EXPECT_EQ(desk.paintAll(), other.paintAll());
    // Undo of the newest makes the underlay stale; the picture stays right.
    for (FrozenDesktop* d : {&desk, &other})
        d->form->Objects.Delete(d->form->Objects.Count() - 1);
    EXPECT_EQ(desk.paintAll(), other.paintAll());
}

TEST(PaintForm, EditorRules)
{
    FrozenDesktop desk;
    desk.form->SetSelection({10, 10, 200, 200});
    EXPECT_EQ(desk.form->HitTest(desk.form->Selection, 100, 100), fzInside);
    EXPECT_EQ(desk.form->HitTest(desk.form->Selection, 8, 12), fzTopLeft);
    desk.form->SetFrameMode(false);
    EXPECT_EQ(desk.form->HitTest(desk.form->Selection, 100, 100), fzOutside);
    EXPECT_EQ(desk.form->HitTest(desk.form->Selection, 8, 12), fzOutside);

    // An empty newest annotation is dropped when the next one starts; a kept one stays.
    desk.add(TPaintKind::pkLine, {{0, 0}, {3, 4}});
    desk.add(TPaintKind::pkLine, {{0, 0}, {50, 0}});
    EXPECT_EQ(desk.form->Objects.Count(), 1);
    desk.add(TPaintKind::pkText, {{0, 0}}, u"x");
    EXPECT_EQ(desk.form->Objects.Count(), 2);

    desk.form->SetCurColor(7);
    EXPECT_EQ(desk.form->AddObject().Color, 0U);
    desk.form->SetCurColor(1);
    EXPECT_EQ(desk.form->AddObject().Color, 0xE640CF00U);
}

// Counts the paints of a shown form and what they covered.
class CountingForm final : public TPaintForm
{
public:
    using TPaintForm::TPaintForm;
    int paints = 0;
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        painted += event->region();
        TPaintForm::paintEvent(event);
    }
};

bool WaitFor(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TEST(PaintForm, RepaintsOnlyWhatChanged)
{
    platform::fake::FakeScreenCapture capture;
    capture.desktop = Pattern(0, 0, 800, 600);
    CountingForm form(capture, [] { return std::string("hint"); });
    form.setGeometry(0, 0, 800, 600);
    form.SetSelection({100, 100, 300, 300});
    form.show();
    ASSERT_TRUE(WaitFor([&] { return form.paints > 0; }));
    QCoreApplication::processEvents();
    form.paints = 0;
    form.painted = QRegion();

    form.SetSelection({300, 300, 100, 100});
    QCoreApplication::processEvents();
    EXPECT_EQ(form.paints, 0);

    form.SetSelection({110, 100, 310, 300});
    ASSERT_TRUE(WaitFor([&] { return form.paints > 0; }));
    EXPECT_TRUE(form.painted.boundingRect().contains(QRect(91, 91, 228, 218)));
    EXPECT_FALSE(form.painted.intersects(QRect(400, 0, 400, 600)));
}

// A second output's window of the selector shows that output's part of the form's picture and hands
// the pointer on in the form's coordinates, which span every output.
TEST(PaintForm, OutputViewShowsItsPartAndHandsThePointerOn)
{
    FrozenDesktop desk;
    desk.form->SetSelection({250, 60, 420, 200});
    std::vector<QPoint> pressed;
    desk.form->OnFrameDown = [&pressed](std::int32_t, std::int32_t x, std::int32_t y) {
        pressed.push_back({x, y});
    };
    OutputView view(*desk.form, QGuiApplication::primaryScreen(), QPoint(320, 0));
    view.resize(320, 400);

    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, desk.paintAll().copy(320, 0, 320, 400));
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(10, 20));
    ASSERT_EQ(pressed.size(), 1U);
    EXPECT_EQ(pressed.front(), QPoint(330, 20));
}

} // namespace
} // namespace tern
