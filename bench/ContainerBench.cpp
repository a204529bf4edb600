// Container write and read against the bare zlib calls they stand on, on the same data:
// compress2 at level 5 for writing, inflate for reading (opened with an injected clock, so the
// password check's minimum time is left out).
#include "BenchData.h"
#include "service/ECLMemoryStream.h"
#include "service/PasswordDigest.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>

namespace {

using tern::TECLMemoryStream;

const std::string& password()
{
    static const std::string value = tern::PasswordDigest("benchmark");
    return value;
}

tern::EclOptions fastOpen()
{
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return {[now] { return *now += std::chrono::seconds(1); }, tern::EclNoLimit, {}, {}};
}

const std::vector<std::string>& dataSet(int which)
{
    static const std::vector<std::string> mixed = tern::bench::MixedSnapshotItems(1'000'000);
    static const std::vector<std::string> bitmap = [] {
        const tern::platform::Bitmap screen = tern::bench::ScreenLike(2048, 1366); // 8.4 MB of RGB
        return std::vector<std::string>{std::string(screen.rgb.begin(), screen.rgb.end())};
    }();
    return which == 0 ? mixed : bitmap;
}

const char* dataName(int which)
{
    return which == 0 ? "mixed-1MB" : "bitmap-8MB";
}

std::int64_t totalBytes(const std::vector<std::string>& items)
{
    std::int64_t total = 0;
    for (const std::string& item : items)
        total += static_cast<std::int64_t>(item.size());
    return total;
}

void BM_ContainerWrite(benchmark::State& state)
{
    const auto& items = dataSet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const std::string& item : items) {
            TECLMemoryStream container(password(), 0, TECLMemoryStream::kLevelCompressed, fastOpen());
            container.Write(0, item);
            benchmark::DoNotOptimize(container.Storage().data());
        }
    }
    state.SetLabel(dataName(static_cast<int>(state.range(0))));
    state.SetBytesProcessed(state.iterations() * totalBytes(items));
}

void BM_BareCompress2(benchmark::State& state)
{
    const auto& items = dataSet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const std::string& item : items) {
            uLongf size = compressBound(item.size());
            std::unique_ptr<Bytef[]> out(new Bytef[size]);
            compress2(out.get(), &size, reinterpret_cast<const Bytef*>(item.data()), item.size(), 5);
            benchmark::DoNotOptimize(out.get());
        }
    }
    state.SetLabel(dataName(static_cast<int>(state.range(0))));
    state.SetBytesProcessed(state.iterations() * totalBytes(items));
}

void BM_ContainerRead(benchmark::State& state)
{
    const auto& items = dataSet(static_cast<int>(state.range(0)));
    std::vector<std::string> storages;
    for (const std::string& item : items) {
        TECLMemoryStream container(password(), 0, TECLMemoryStream::kLevelCompressed, fastOpen());
        container.Write(0, item);
        storages.push_back(container.Storage());
    }
    for (auto _ : state) {
        for (const std::string& storage : storages) {
            TECLMemoryStream container(password(), 0, TECLMemoryStream::kLevelCompressed, fastOpen());
            container.SetStorage(storage);
            const std::string plain = container.ReadAll();
            benchmark::DoNotOptimize(plain.data());
        }
    }
    state.SetLabel(dataName(static_cast<int>(state.range(0))));
    state.SetBytesProcessed(state.iterations() * totalBytes(items));
}

void BM_BareInflate(benchmark::State& state)
{
    const auto& items = dataSet(static_cast<int>(state.range(0)));
    std::vector<std::string> compressed;
    for (const std::string& item : items) {
        uLongf size = compressBound(item.size());
        std::string out(size, '\0');
        compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(item.data()),
                  item.size(), 5);
        out.resize(size);
        compressed.push_back(out);
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string plain(items[i].size(), '\0');
            z_stream stream{};
            inflateInit(&stream);
            stream.next_in = reinterpret_cast<Bytef*>(compressed[i].data());
            stream.avail_in = static_cast<uInt>(compressed[i].size());
            stream.next_out = reinterpret_cast<Bytef*>(plain.data());
            stream.avail_out = static_cast<uInt>(plain.size());
            inflate(&stream, Z_FINISH);
            inflateEnd(&stream);
            benchmark::DoNotOptimize(plain.data());
        }
    }
    state.SetLabel(dataName(static_cast<int>(state.range(0))));
    state.SetBytesProcessed(state.iterations() * totalBytes(items));
}

} // namespace

BENCHMARK(BM_ContainerWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareCompress2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ContainerRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareInflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
