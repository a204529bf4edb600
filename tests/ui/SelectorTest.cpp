#include "annotate/TfClip.h"

#include "annotate/AnnotateContext.h"
#include "annotate/TNewButton.h"
#include "annotate/TfToolBox.h"

#include "../dialogs/DialogScreenshot.h"
#include "lang/LanguageTexts.h"
#include "platform/PlatformFactory.h"
#include "platform/fake/FakeScreenCapture.h"
#include "platform/x11/X11Session.h"
#include "ui/FormTranslator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tern {
namespace {

// A desktop to freeze: a blue gradient with two plain windows on it, so that pictures of the
// selector read like a screen.
platform::ScreenPicture syntheticDesktop(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(38, 86, 140));
    sky.setColorAt(1, QColor(90, 150, 190));
    painter.fillRect(image.rect(), sky);
    const auto window = [&painter](QRect bounds, const QString& title) {
        painter.fillRect(bounds, QColor(246, 246, 246));
        painter.fillRect(bounds.x(), bounds.y(), bounds.width(), 26, QColor(60, 64, 72));
        painter.setPen(Qt::white);
        painter.drawText(bounds.adjusted(10, 0, 0, 0).topLeft() + QPoint(0, 18), title);
        painter.setPen(QColor(90, 90, 90));
        for (int line = 0; line < (bounds.height() - 50) / 22; ++line)
            painter.drawText(bounds.x() + 16, bounds.y() + 56 + line * 22,
                             QStringLiteral("Line %1 of a document on the frozen desktop").arg(line + 1));
    };
    window(QRect(width / 10, height / 8, width / 2, height / 2), QStringLiteral("Report.txt"));
    window(QRect(width / 2, height / 3, width * 2 / 5, height / 2), QStringLiteral("Notes"));
    painter.end();
    platform::ScreenPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * width, image.constScanLine(y),
                    static_cast<std::size_t>(width) * 4);
    return picture;
}

// The program around the selector: English texts, a modal counter and a fake screen.
class TestContext : public AnnotateContext
{
public:
    explicit TestContext(int width = 1280, int height = 720) : texts(TERN_SOURCE_LANGUAGES_DIR)
    {
        ui::TranslateForm(texts, "english.lng", nullptr);
        capture.desktop = syntheticDesktop(width, height);
    }
    std::string GetText(const std::string& section, const std::string& key) const override
    {
        return texts.GetText(section, key);
    }
    void TranslateForm(QWidget* form) override { ui::TranslateForm(texts, "english.lng", form); }
    void EnterModal() override { ++modalCount; }
    void LeaveModal() override { --modalCount; }
    platform::ScreenCapture& Capture() override { return capture; }

    LanguageTexts texts;
    platform::fake::FakeScreenCapture capture;
    int modalCount = 0;
};

// One synthetic pointer step on the selector.
struct Step
{
    enum Kind { Press, Move, Release, RightPress } kind;
    int x;
    int y;
};

void send(QWidget& widget, const Step& step)
{
    const QPointF local(step.x, step.y);
    const QPointF global = widget.mapToGlobal(local);
    switch (step.kind) {
    case Step::Press: {
        QMouseEvent event(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case Step::RightPress: {
        QMouseEvent event(QEvent::MouseButtonPress, local, global, Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case Step::Move: {
        QMouseEvent event(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case Step::Release: {
        QMouseEvent event(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    }
}

void drag(QWidget& widget, QPoint from, QPoint to, int steps = 4)
{
    send(widget, {Step::Press, from.x(), from.y()});
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        send(widget, {Step::Move, at.x(), at.y()});
    }
    send(widget, {Step::Release, to.x(), to.y()});
}

void clickPaletteOf(TfClip& clip, int button)
{
    QTest::mouseClick(clip.ToolBox().Button(button), Qt::LeftButton);
}

std::string describe(const TRect& r)
{
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

class SelectorTest : public ::testing::Test
{
protected:
    void clickPalette(int button) { clickPaletteOf(clip, button); }
    void type(const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClick(&clip, c.toLatin1());
    }

    TestContext context;
    TfClip clip{context};
};

// The selection and mode after each sequence of pointer steps, from the starting state.
TEST_F(SelectorTest, PointerStepsSelectAdjustAndMoveTheArea)
{
    // Every adjusting case starts from the 200 x 150 selection (100,100)-(300,250).
    const std::vector<Step> select = {
        {Step::Press, 100, 100}, {Step::Move, 300, 250}, {Step::Release, 300, 250}};
    struct Case
    {
        const char* name;
        bool fromSelection;
        std::vector<Step> steps;
        std::int32_t mode;
        const char* selection;
    };
    const std::vector<Case> cases = {
        {"19x300 drag ends idle",
         false,
         {{Step::Press, 100, 100}, {Step::Move, 119, 400}, {Step::Release, 119, 400}},
         cmIdle,
         "100,100,119,400"},
        {"20x20 drag can be adjusted",
         false,
         {{Step::Press, 100, 100}, {Step::Move, 120, 120}, {Step::Release, 120, 120}},
         cmAdjusting,
         "100,100,120,120"},
        {"drag towards the top-left is normalized",
         false,
         {{Step::Press, 300, 300}, {Step::Move, 250, 260}, {Step::Release, 250, 260}},
         cmAdjusting,
         "250,260,300,300"},
        {"press and release without a move",
         false,
         {{Step::Press, 40, 50}, {Step::Release, 40, 50}},
         cmIdle,
         "40,50,40,50"},
        {"top-left handle follows the pointer",
         true,
         {{Step::Press, 101, 99}, {Step::Move, 150, 120}, {Step::Release, 150, 120}},
         cmAdjusting,
         "150,120,300,250"},
        {"top-left handle stops before the width drops to 20",
         true,
         {{Step::Press, 100, 100},
          {Step::Move, 279, 229},
          {Step::Move, 281, 231},
          {Step::Move, 400, 400},
          {Step::Release, 400, 400}},
         cmAdjusting,
         "279,229,300,250"},
        {"bottom-right handle never flips",
         true,
         {{Step::Press, 300, 250}, {Step::Move, 50, 40}, {Step::Release, 50, 40}},
         cmAdjusting,
         "100,100,300,250"},
        {"top-right handle",
         true,
         {{Step::Press, 300, 100}, {Step::Move, 350, 60}, {Step::Release, 350, 60}},
         cmAdjusting,
         "100,60,350,250"},
        {"bottom-left handle",
         true,
         {{Step::Press, 100, 250}, {Step::Move, 90, 300}, {Step::Release, 90, 300}},
         cmAdjusting,
         "90,100,300,300"},
        {"inside drag moves and keeps the size",
         true,
         {{Step::Press, 200, 200}, {Step::Move, 250, 180}, {Step::Release, 250, 180}},
         cmAdjusting,
         "150,80,350,230"},
        {"move stops at the right and bottom edges",
         true,
         {{Step::Press, 200, 200},
          {Step::Move, 1250, 700},
          {Step::Move, 1275, 719},
          {Step::Release, 1275, 719}},
         cmAdjusting,
         "1080,570,1280,720"},
        {"move stops at the left and top edges",
         true,
         {{Step::Press, 200, 200}, {Step::Move, 20, 10}, {Step::Release, 20, 10}},
         cmAdjusting,
         "0,0,200,150"},
        {"press outside starts a new selection",
         true,
         {{Step::Press, 600, 500}, {Step::Move, 700, 560}, {Step::Release, 700, 560}},
         cmAdjusting,
         "600,500,700,560"},
        {"press outside without a drag leaves it idle",
         true,
         {{Step::Press, 600, 500}, {Step::Release, 600, 500}},
         cmIdle,
         "600,500,600,500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfClip form(context);
        if (c.fromSelection) {
            for (const Step& step : select)
                send(form, step);
            ASSERT_EQ(form.Mode, cmAdjusting);
        }
        for (const Step& step : c.steps)
            send(form, step);
        EXPECT_EQ(form.Mode, c.mode);
        EXPECT_EQ(describe(form.Selection), c.selection);
        EXPECT_FALSE(form.ButtonDown);
        EXPECT_EQ(form.DownZone, 0);
    }
}

TEST_F(SelectorTest, ShapesAndStrokesFollowThePointer)
{
    drag(clip, {100, 100}, {500, 400});
    clickPalette(3); // rectangle
    EXPECT_EQ(clip.Mode, cmDrawing);
    EXPECT_FALSE(clip.FrameMode);
    drag(clip, {150, 150}, {250, 220});
    clickPalette(0); // freehand
    send(clip, {Step::Press, 300, 300});
    for (int x = 302; x <= 340; x += 2)
        send(clip, {Step::Move, x, 300}); // a point every 2 px: only steps over 4 px are kept
    send(clip, {Step::Release, 340, 300});
    ASSERT_EQ(clip.Objects.Count(), 2);
    const TPaintObject& rect = clip.Objects.Items(0);
    EXPECT_EQ(rect.Kind, TPaintKind::pkRect);
    ASSERT_EQ(rect.Points.size(), 2U);
    EXPECT_EQ(rect.Points[1], (TPointItem{250, 220}));
    const TPaintObject& stroke = clip.Objects.Items(1);
    EXPECT_EQ(stroke.Kind, TPaintKind::pkFreehand);
    EXPECT_EQ(stroke.Points.size(), 7U); // 300, 306, ..., 336
    for (std::size_t i = 1; i < stroke.Points.size(); ++i)
        EXPECT_EQ(stroke.Points[i].X - stroke.Points[i - 1].X, 6);
    // A press without a move is an empty annotation, dropped when the next one starts.
    clickPalette(2); // line
    send(clip, {Step::Press, 400, 300});
    send(clip, {Step::Release, 400, 300});
    drag(clip, {410, 310}, {480, 380});
    EXPECT_EQ(clip.Objects.Count(), 3);
    EXPECT_EQ(clip.Objects.Items(2).Kind, TPaintKind::pkLine);
    // A right press moves the palette and starts nothing.
    send(clip, {Step::RightPress, 640, 360});
    EXPECT_EQ(clip.ToolBox().pos(), clip.mapToGlobal(QPoint(640, 360)));
    EXPECT_EQ(clip.Objects.Count(), 3);
    EXPECT_FALSE(clip.ButtonDown);
    // The Move tool shows the handles again and keeps every annotation.
    clickPalette(6);
    EXPECT_EQ(clip.Mode, cmAdjusting);
    EXPECT_TRUE(clip.FrameMode);
    EXPECT_EQ(clip.Objects.Count(), 3);
}

TEST_F(SelectorTest, ArrowKeysMoveOnlyTheNewestAnnotationWhileDrawing)
{
    drag(clip, {100, 100}, {500, 400});
    QTest::keyClick(&clip, Qt::Key_Left);
    EXPECT_EQ(describe(clip.Selection), "100,100,500,400");
    clickPalette(4); // arrow
    drag(clip, {150, 150}, {250, 250});
    drag(clip, {300, 150}, {350, 250});
    QTest::keyClick(&clip, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&clip, Qt::Key_Up);
    QTest::keyClick(&clip, Qt::Key_Right);
    QTest::keyClick(&clip, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(clip.Objects.Items(1).Points[0], (TPointItem{292, 158}));
    EXPECT_EQ(clip.Objects.Items(1).Points[1], (TPointItem{342, 258}));
    EXPECT_EQ(clip.Objects.Items(0).Points[0], (TPointItem{150, 150}));
    // Undo takes the newest first, in any mode, until nothing is left.
    clickPalette(7);
    ASSERT_EQ(clip.Objects.Count(), 1);
    EXPECT_EQ(clip.Objects.Items(0).Points[0], (TPointItem{150, 150}));
    clickPalette(6);
    clickPalette(7);
    clickPalette(7);
    EXPECT_EQ(clip.Objects.Count(), 0);
    EXPECT_EQ(clip.Mode, cmAdjusting);
}

TEST_F(SelectorTest, TypingEditsOnlyTheNewestTextWithTheTextTool)
{
    drag(clip, {100, 100}, {500, 400});
    clickPalette(1); // text
    type("ignored");
    EXPECT_EQ(clip.Objects.Count(), 0);
    send(clip, {Step::Press, 150, 150});
    send(clip, {Step::Release, 150, 150});
    QTest::keyClick(&clip, Qt::Key_Backspace);
    type("Hi");
    QTest::keyClick(&clip, Qt::Key_Return);
    type("there");
    QTest::keyClick(&clip, Qt::Key_Backspace);
    QTest::keyClick(&clip, Qt::Key_Tab);
    ASSERT_EQ(clip.Objects.Count(), 1);
    EXPECT_EQ(clip.Objects.Items(0).Text, u"Hi\nther");
    EXPECT_EQ(clip.Objects.Items(0).SizeIndex, clip.CurFont);
    EXPECT_EQ(clip.ModalResult, 0) << "Enter never confirms";
    // With another tool, typing and Enter change nothing and confirm nothing.
    clickPalette(2);
    type("x");
    QTest::keyClick(&clip, Qt::Key_Enter);
    EXPECT_EQ(clip.Objects.Items(0).Text, u"Hi\nther");
    EXPECT_EQ(clip.ModalResult, 0);
}

TEST_F(SelectorTest, SizesFromSettingsAreClampedAndMarked)
{
    struct Case
    {
        int stored;
        int kept;
    };
    for (const Case c : {Case{-5, 0}, Case{0, 0}, Case{2, 2}, Case{3, 2}, Case{1000000, 2}}) {
        SCOPED_TRACE(c.stored);
        clip.SetCurFont(c.stored);
        clip.SetCurLine(c.stored);
        EXPECT_EQ(clip.CurFont, c.kept);
        EXPECT_EQ(clip.CurLine, c.kept);
    }
}

// Runs Execute with `script` played from the event loop, and waits (bounded) for the run's end.
int runScripted(TfClip& clip, const std::function<void()>& script)
{
    int result = 0;
    QObject::connect(&clip, &TfClip::finished, &clip, [&result](int ended) { result = ended; });
    QTimer::singleShot(0, &clip, script);
    clip.Execute();
    EXPECT_TRUE(QTest::qWaitFor([&result] { return result != 0; }, 10000));
    return result;
}

TEST(SelectorRunTest, EscCancelsAndThePaletteChoicesPersist)
{
    TestContext context;
    {
        TfClip clip(context);
        EXPECT_EQ(context.modalCount, 1);
        clip.SetCurColor(0);
        clip.SetCurFont(0);
        clip.SetCurLine(0);
        const int result = runScripted(clip, [&clip] {
            drag(clip, {100, 100}, {400, 300});
            QTest::mouseClick(clip.ToolBox().Button(0), Qt::LeftButton);
            QTest::mouseClick(clip.ToolBox().Button(9), Qt::LeftButton);  // green
            QTest::mouseClick(clip.ToolBox().Button(13), Qt::LeftButton); // widest pen
            QTest::mouseClick(clip.ToolBox().Button(1), Qt::LeftButton);
            QTest::mouseClick(clip.ToolBox().Button(16), Qt::LeftButton); // largest font
            QTest::keyClick(&clip, Qt::Key_Return);
            QTest::keyClick(&clip.ToolBox(), Qt::Key_Escape); // typed while the palette has the focus
        });
        EXPECT_EQ(result, TfClip::kCancelled);
        EXPECT_EQ(clip.CurColor, 1);
        EXPECT_EQ(clip.CurLine, 2);
        EXPECT_EQ(clip.CurFont, 2);
        EXPECT_FALSE(clip.isVisible());
    }
    EXPECT_EQ(context.modalCount, 0);
}

TEST(SelectorRunTest, UploadConfirmsOnlyASelectedArea)
{
    TestContext context;
    TfClip confirmed(context);
    EXPECT_EQ(runScripted(confirmed,
                          [&confirmed] {
                              drag(confirmed, {100, 100}, {400, 300});
                              QTest::mouseClick(confirmed.ToolBox().UploadButton(), Qt::LeftButton);
                          }),
              TfClip::kConfirmed);
    EXPECT_EQ(confirmed.ResultBitmap().size(), QSize(300, 200));

    // Nothing selected: nothing to share, the run ends as cancelled.
    TfClip empty(context);
    EXPECT_EQ(runScripted(empty,
                          [&empty] {
                              QTest::mouseClick(empty.ToolBox().Button(10), Qt::LeftButton);
                              QTest::mouseClick(empty.ToolBox().UploadButton(), Qt::LeftButton);
                          }),
              TfClip::kCancelled);
    // A selection one pixel high counts as none.
    TfClip flat(context);
    EXPECT_EQ(runScripted(flat,
                          [&flat] {
                              drag(flat, {100, 100}, {400, 100});
                              QTest::mouseClick(flat.ToolBox().UploadButton(), Qt::LeftButton);
                          }),
              TfClip::kCancelled);
}

// Collects the selector's timing messages.
std::vector<QString> g_timings;
void collectTimings(QtMsgType, const QMessageLogContext& where, const QString& message)
{
    if (where.category && std::strcmp(where.category, "tern.annotate") == 0)
        g_timings.push_back(message);
}

// The selector as the user sees it at 1920 x 1080, with every kind of annotation and the palette
// where it opens; saved for review when TERN_ARTIFACTS_DIR is set. Also reports the time from the
// start of construction to the first frame.
TEST(SelectorPictureTest, AnnotatedSelectorAndHandles)
{
    TestContext context(1920, 1080);
    g_timings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectTimings);
    QElapsedTimer clock;
    clock.start();
    TfClip clip(context);
    clip.show();
    QElapsedTimer deadline;
    deadline.start();
    while (g_timings.size() < 2 && deadline.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const qint64 firstFrameMs = clock.elapsed();
    qInstallMessageHandler(previous);
    ASSERT_EQ(g_timings.size(), 2U);
    EXPECT_TRUE(g_timings[1].contains(QStringLiteral("first frame")));
    std::printf("[ timing   ] construction to first frame at 1920x1080: %lld ms (%s)\n",
                static_cast<long long>(firstFrameMs), qPrintable(g_timings[1]));

    const auto picture = [&clip](const std::string& name) {
        QImage shot = clip.grab().toImage();
        // The palette is a window of its own: put it where it stands over the selector.
        QPainter painter(&shot);
        painter.drawPixmap(clip.mapFromGlobal(clip.ToolBox().pos()), clip.ToolBox().grab());
        painter.end();
        const QString folder = qEnvironmentVariable("TERN_ARTIFACTS_DIR");
        if (!folder.isEmpty()) {
            EXPECT_TRUE(shot.save(folder + QLatin1Char('/') + QString::fromStdString(name)));
        }
    };
    picture("selector_hint.png");
    drag(clip, {300, 200}, {1300, 800});
    picture("selector_handles.png");

    clickPaletteOf(clip, 3);
    drag(clip, {380, 280}, {700, 460});
    clickPaletteOf(clip, 9);
    clickPaletteOf(clip, 12);
    clickPaletteOf(clip, 4);
    drag(clip, {1100, 700}, {760, 480});
    clickPaletteOf(clip, 10);
    clickPaletteOf(clip, 5);
    drag(clip, {900, 260}, {1250, 420});
    clickPaletteOf(clip, 0);
    send(clip, {Step::Press, 400, 600});
    for (int i = 1; i <= 40; ++i)
        send(clip, {Step::Move, 400 + i * 8, 600 + static_cast<int>(40 * std::sin(i / 4.0))});
    send(clip, {Step::Release, 720, 600});
    clickPaletteOf(clip, 8);
    clickPaletteOf(clip, 1);
    clickPaletteOf(clip, 15);
    send(clip, {Step::Press, 760, 300});
    send(clip, {Step::Release, 760, 300});
    for (const QChar c : QStringLiteral("Look here"))
        QTest::keyClick(&clip, c.toLatin1());
    // A shape across the selection's edge is cut off there.
    clickPaletteOf(clip, 5);
    drag(clip, {1200, 650}, {1450, 900});
    QApplication::processEvents();
    picture("selector_annotated.png");
    clickPaletteOf(clip, 6);
    QApplication::processEvents();
    picture("selector_annotated_move_tool.png");
    const QImage result = clip.ResultBitmap();
    EXPECT_EQ(result.size(), QSize(1000, 600));
    const QString folder = qEnvironmentVariable("TERN_ARTIFACTS_DIR");
    if (!folder.isEmpty())
        result.save(folder + QStringLiteral("/selector_result.png"));
}

// On a real X display (QT_QPA_PLATFORM=xcb, e.g. under scripts/headless-desktop.sh): the desktop is
// frozen through the X11 capture, the palette is a tool window of its own, transient for the
// selector, at the top-right corner of the primary monitor. Reports the time from the start of
// construction to the exposed selector.
TEST(SelectorX11Test, FrozenSelectorOnARealDisplay)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    TestContext context;
    const std::unique_ptr<platform::ScreenCapture> screens = platform::CreateScreenCapture();
    struct RealScreens : TestContext
    {
        platform::ScreenCapture* real = nullptr;
        platform::ScreenCapture& Capture() override { return *real; }
    } realContext;
    realContext.real = screens.get();
    QElapsedTimer clock;
    clock.start();
    TfClip clip(realContext);
    clip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&clip, 5000));
    std::printf("[ timing   ] construction to exposed selector on X11: %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(clip.geometry(), QGuiApplication::primaryScreen()->virtualGeometry());
    // No taskbar entry for the selector, and the window manager keeps it on top.
    xcb_connection_t* connection = platform::x11::QtConnection();
    const xcb_atom_t stateAtom = platform::x11::InternAtom(connection, "_NET_WM_STATE");
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> state(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, static_cast<xcb_window_t>(clip.winId()),
                                                stateAtom, XCB_ATOM_ATOM, 0, 64),
                               nullptr),
        &std::free);
    ASSERT_TRUE(state);
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(state.get()));
    const std::vector<xcb_atom_t> states(atoms, atoms + xcb_get_property_value_length(state.get()) / 4);
    const auto has = [&](const char* name) {
        return std::find(states.begin(), states.end(), platform::x11::InternAtom(connection, name)) !=
               states.end();
    };
    EXPECT_TRUE(has("_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_TRUE(has("_NET_WM_STATE_ABOVE"));
    TfToolBox& palette = clip.ToolBox();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette, 5000));
    EXPECT_TRUE(palette.isWindow());
    EXPECT_EQ(palette.windowType(), Qt::Tool);
    ASSERT_NE(palette.windowHandle(), nullptr);
    EXPECT_EQ(palette.windowHandle()->transientParent(), clip.windowHandle());
    EXPECT_EQ(palette.width(), TfToolBox::kClientWidth);
    EXPECT_EQ(palette.windowTitle(), "Tools");
    const QRect monitor = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(monitor.contains(palette.frameGeometry()));
    EXPECT_LE(monitor.right() - palette.frameGeometry().right(), 40);
    test::SaveScreenshot(palette, "palette_x11.png");
}

} // namespace
} // namespace tern
