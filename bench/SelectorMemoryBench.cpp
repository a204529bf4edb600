// Memory of the area selector at 3200 x 1200 (one frame: 15.4 MB): the peak resident size above the
// idle program while the selector runs with a given number of annotations, in frames (goal: at most
// 3), and the resident size once the selector is gone (goal: within 10 MB of idle). The selector
// runs as the program runs it: frozen, shown, an area dragged out, the annotations drawn with the
// pointer, confirmed with the palette, its picture taken, destroyed.
#include "annotate/AnnotateContext.h"
#include "annotate/TfClip.h"
#include "platform/fake/FakeScreenCapture.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr int kWidth = 3200;
constexpr int kHeight = 1200;
constexpr double kFrameBytes = 4.0 * kWidth * kHeight;
constexpr double kPeakLimitFrames = 3.0;
constexpr double kAfterCloseLimitBytes = 10.0 * 1024 * 1024;

// A field of /proc/self/status in bytes.
double statusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) * 1024;
    return 0;
}

// The peak resident size starts again from the present one.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

class BenchContext final : public tern::AnnotateContext
{
public:
    explicit BenchContext(int width, int height)
    {
        capture.desktop = {0, 0, width, height, {}};
        capture.desktop.pixels.resize(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                capture.desktop.pixels[static_cast<std::size_t>(y) * width + x] =
                    0xFF000000U | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x ^ y) & 0xFF);
    }
    std::string GetText(const std::string&, const std::string& key) const override
    {
        return key == "lDrawNotes" ? "Select an area and draw your notes on it" : key;
    }
    void TranslateForm(QWidget*) override {}
    void EnterModal() override {}
    void LeaveModal() override {}
    tern::platform::ScreenCapture& Capture() override { return capture; }

    tern::platform::fake::FakeScreenCapture capture;
};

// One selector life with `annotations` rectangles, lines and texts inside an area of most of the
// screen, or of all of it. Returns the size of the picture it gave.
QSize runSelector(BenchContext& context, int annotations, bool wholeScreen)
{
    tern::TfClip clip(context);
    QTimer::singleShot(0, &clip, [&clip, annotations, wholeScreen] {
        const QRect area = wholeScreen ? clip.rect() : QRect(100, 80, 3000, 1040);
        clip.FrameDown(tern::fzOutside, area.left(), area.top());
        clip.FrameMove(tern::fzOutside, area.center().x(), area.center().y());
        clip.FrameMove(tern::fzOutside, area.left() + area.width(), area.top() + area.height());
        clip.FrameUp(tern::fzOutside, area.left() + area.width(), area.top() + area.height());
        QApplication::processEvents();
        const int tools[3] = {static_cast<int>(tern::TPaintKind::pkRect),
                              static_cast<int>(tern::TPaintKind::pkLine),
                              static_cast<int>(tern::TPaintKind::pkText)};
        for (int i = 0; i < annotations; ++i) {
            clip.SetTool(tools[i % 3]);
            const int x = 200 + (i * 97) % 2600;
            const int y = 150 + (i * 53) % 900;
            clip.FrameDown(0, x, y);
            clip.FrameMove(0, x + 120, y + 60);
            clip.FrameMove(0, x + 240, y + 90);
            clip.FrameUp(0, x + 240, y + 90);
            if (tools[i % 3] == static_cast<int>(tern::TPaintKind::pkText))
                clip.LastObject()->Text = u"Note " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
            clip.update();
            QApplication::processEvents();
        }
        clip.Confirm();
    });
    // The selector runs on the event loop and reports its end.
    QEventLoop loop;
    QObject::connect(&clip, &tern::TfClip::finished, &loop, &QEventLoop::quit);
    clip.Execute();
    if (clip.ModalResult == 0)
        loop.exec();
    return clip.ResultBitmap().size();
}

void BM_SelectorMemory(benchmark::State& state)
{
    const auto annotations = static_cast<int>(state.range(0));
    static BenchContext warmUp(320, 200);
    static BenchContext context(kWidth, kHeight);
    // Fonts, icons and the palette are loaded once by the program's first selector.
    runSelector(warmUp, 3, false);
    double peakFrames = 0;
    double afterClose = 0;
    for (auto _ : state) {
        const double idle = statusBytes("VmRSS");
        resetPeak();
        const QSize picture = runSelector(context, annotations, state.range(1) != 0);
        const double peak = statusBytes("VmHWM");
        afterClose = statusBytes("VmRSS") - idle;
        peakFrames = (peak - idle) / kFrameBytes;
        if (picture.isEmpty())
            state.SkipWithError("the selector gave no picture");
    }
    state.counters["peak_frames"] = peakFrames;
    state.counters["peak_limit"] = kPeakLimitFrames;
    state.counters["after_close_MB"] = afterClose / (1024 * 1024);
    state.counters["after_close_limit_MB"] = kAfterCloseLimitBytes / (1024 * 1024);
    char label[200];
    std::snprintf(label, sizeof label,
                  "peak %.2f frames above idle (limit %.0f) %s; after close %+.1f MB (limit 10) %s",
                  peakFrames, kPeakLimitFrames, peakFrames <= kPeakLimitFrames ? "met" : "MISSED",
                  afterClose / (1024 * 1024), afterClose <= kAfterCloseLimitBytes ? "met" : "MISSED");
    state.SetLabel(label);
}

// Arguments: the number of annotations; 1 for an area of the whole screen.
BENCHMARK(BM_SelectorMemory)
    ->ArgsProduct({{0, 3, 12, 30}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
