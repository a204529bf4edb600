// Share conversion of screen-sized pictures against the two encoders it runs, called directly: a
// screenshot-like picture (JPEG is shorter: kind 2) and a flat diagram (PNG is shorter: kind 3).
#include "BareCodecs.h"
#include "BenchData.h"
#include "clipboard/ShareConversion.h"

#include <benchmark/benchmark.h>

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
BENCHMARK(BM_BareJpegEncode)->Arg(1920)->Arg(3840)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BarePngEncode)->Arg(1920)->Arg(3840)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
