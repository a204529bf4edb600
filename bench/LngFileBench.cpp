// Language file parsing against a bare scan of the same bytes for line ends, the least any reader of
// the file must do. The files grow to the size limit either as many sections of one key or as many
// keys in one section; the parse must stay linear in both shapes: its bytes per second the same at
// every size (one section or key lookup per line, not a search of everything read so far).
#include "lang/LngFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

using tern::LngFile;

enum Shape { kManySections = 0, kManyKeys = 1 };

std::string languageFile(Shape shape, std::size_t bytes)
{
    std::string file = shape == kManyKeys ? "[GLOBAL]\n" : "";
    for (int i = 0; file.size() < bytes; ++i)
        file += shape == kManySections ? "[s" + std::to_string(i) + "]\nk=v\n"
                                       : "key" + std::to_string(i) + "=v\n";
    return file;
}

std::size_t sizeFor(const benchmark::State& state)
{
    return std::min<std::size_t>(static_cast<std::size_t>(state.range(1)), LngFile::kMaxFileBytes - 32);
}

void BM_LngFileParse(benchmark::State& state)
{
    const std::string file = languageFile(static_cast<Shape>(state.range(0)), sizeFor(state));
    for (auto _ : state) {
        const LngFile parsed = LngFile::parse(file);
        benchmark::DoNotOptimize(&parsed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_BareLineScan(benchmark::State& state)
{
    const std::string file = languageFile(static_cast<Shape>(state.range(0)), sizeFor(state));
    for (auto _ : state) {
        std::size_t lines = 0;
        for (auto at = file.find('\n'); at != std::string::npos; at = file.find('\n', at + 1))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void shapesAndSizes(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"keys", "bytes"});
    for (int shape : {kManySections, kManyKeys})
        for (std::int64_t bytes : {64 << 10, 256 << 10, 1 << 20})
            bench->Args({shape, bytes});
    bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_LngFileParse)->Apply(shapesAndSizes);
BENCHMARK(BM_BareLineScan)->Apply(shapesAndSizes);

} // namespace
