// Share conversion of screen-sized pictures against the two encoders it runs, called directly: a
// screenshot-like picture (JPEG is shorter: kind 2) and a flat diagram (PNG is shorter: kind 3). The
// goal: at 3840 x 2160, at most 0.25 of the time of the conversion with libpng's encoder (JPEG and
// libpng's PNG at once, the shorter kept), measured alternately in the same run, and no longer.
#include "BareCodecs.h"
#include "BenchData.h"
#include "clipboard/JpegCodec.h"
#include "clipboard/ShareConversion.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <future>

namespace {

// 1920 and 3840: screenshots of that width; 1: a flat diagram of 1920 x 1080.
const tern::platform::Bitmap& screen(std::int64_t which)
{
    static const tern::platform::Bitmap full = tern::bench::ScreenLike(1920, 1080);
    static const tern::platform::Bitmap uhd = tern::bench::ScreenLike(3840, 2160);
    static const tern::platform::Bitmap flat = tern::bench::FlatPicture(1920, 1080);
    return which == 1 ? flat : which == 1920 ? full : uhd;
}

void BM_ShareConversion(benchmark::State& state)
{
    const auto& bitmap = screen(state.range(0));
    int kind = 0;
    std::size_t size = 0;
    for (auto _ : state) {
        std::string payload;
        kind = tern::AppendShareImage(bitmap, payload);
        size = payload.size();
        benchmark::DoNotOptimize(payload.data());
    }
    state.counters["kind"] = kind;
    state.counters["bytes"] = static_cast<double>(size);
}

// The conversion as it was with libpng's encoder: both encodings in full, at once.
std::string libpngShareConversion(const tern::platform::Bitmap& bitmap)
{
    std::future<std::string> png =
        std::async(std::launch::async, [&bitmap] { return tern::bench::BarePng(bitmap); });
    const std::string jpeg = tern::EncodeJpeg(bitmap, tern::kShareJpegQuality);
    std::string out;
    tern::AppendShorterImage(jpeg, png.get(), out);
    return out;
}

void BM_ShareConversionGoal(benchmark::State& state)
{
    const auto& bitmap = screen(state.range(0));
    using Clock = std::chrono::steady_clock;
    double ours = 0;
    double before = 0;
    std::size_t oursBytes = 0;
    std::size_t beforeBytes = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::string payload;
        tern::AppendShareImage(bitmap, payload);
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(took);
        ours += took;
        oursBytes = payload.size();
        const auto beforeStart = Clock::now();
        beforeBytes = libpngShareConversion(bitmap).size();
        before += std::chrono::duration<double>(Clock::now() - beforeStart).count();
    }
    constexpr double kLimit = 0.25;
    const double ratio = ours / before;
    state.counters["time_ratio"] = ratio;
    state.counters["limit"] = kLimit;
    state.counters["size_ratio"] = static_cast<double>(oursBytes) / static_cast<double>(beforeBytes);
    char label[200];
    std::snprintf(label, sizeof label, "time %.3fx of libpng's (limit %.2fx) %s; bytes %zu vs %zu %s", ratio,
                  kLimit, ratio <= kLimit ? "met" : "MISSED", oursBytes, beforeBytes,
                  oursBytes <= beforeBytes ? "met" : "MISSED");
    state.SetLabel(label);
}

void BM_BareJpegEncode(benchmark::State& state)
{
    const auto& bitmap = screen(state.range(0));
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string file = tern::bench::BareJpeg(bitmap, 90);
        size = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}

void BM_BarePngEncode(benchmark::State& state)
{
    const auto& bitmap = screen(state.range(0));
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string file = tern::bench::BarePng(bitmap);
        size = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}

} // namespace

BENCHMARK(BM_ShareConversion)->Arg(1920)->Arg(3840)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShareConversionGoal)
    ->Arg(3840)
    ->Arg(1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareJpegEncode)->Arg(1920)->Arg(3840)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BarePngEncode)->Arg(1920)->Arg(3840)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
