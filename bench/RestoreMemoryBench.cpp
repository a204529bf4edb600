// Peak memory of a restore, against the goal that no download can take a client more than 256 MiB
// above its idle size: the desktop program's restore (snapshot read, decoded, put on a Qt clipboard)
// and the command-line tool's paste and container unpack, for the hostile inputs a client has met and
// for a normal five-format snapshot of about 1 MB. Each case runs in a process of its own, so that its
// peak resident size is its own; the counters give the peak above the idle size and its ratio to the
// goal (above 1 misses it).
// The *ItemCopies cases restore one large item each and give the peak in copies of the item, which is
// to stay within two (the decoded item and the clipboard's own) and a small constant: on the desktop,
// and for `tern.exe paste --clipboard` under Wine when TERN_BENCH_WINDOWS_TOOL names tern.exe (run it
// inside scripts/headless-desktop.sh with WINEPREFIX set; without it those cases report an error).
#include "BenchData.h"
#include "clipboard/ClipboardFormat.h"
#include "clipboard/ExClipboard.h"
#include "clipboard/FormatNameTable.h"
#include "clipboard/HtmlClipboardFormat.h"
#include "clipboard/JpegCodec.h"
#include "platform/x11/X11Clipboard.h"
#include "service/ByteOrder.h"
#include "service/PasswordDigest.h"
#include "support/RecordingHttpServer.h"
#include "support/TempFolder.h"
#include "util/Errors.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double kGoalMiB = 256;
constexpr double kMiB = 1024.0 * 1024.0;
const std::string kPassword = tern::PasswordDigest("bench password");

// --- inputs

std::string recordOf(std::uint32_t format, const std::string& storage)
{
    std::string record(9, '\0');
    record[0] = 1;
    tern::PutLe32(record.data() + 1, format);
    tern::PutLe32(record.data() + 5, static_cast<std::uint32_t>(storage.size()));
    return record + storage;
}

std::string streamOf(std::uint32_t count, const std::string& records)
{
    std::string stream(4, '\0');
    tern::PutLe32(stream.data(), count);
    return stream + records;
}

std::string containerOf(const std::string& data)
{
    tern::TECLMemoryStream container(kPassword);
    container.Write(0, data);
    return container.Storage();
}

// Records of 5,000,000 zero bytes each, as many as fit in a snapshot the service accepts.
std::string zeroFormats()
{
    const std::string storage = containerOf(std::string(tern::kMaxFormatBytes, '\0'));
    std::string records;
    std::uint32_t count = 0;
    while (4 + records.size() + 9 + storage.size() <= 1'000'000) {
        records += recordOf(0xF000, storage);
        ++count;
    }
    return streamOf(count, records);
}

// 1,023 items of 1 MiB under their own names, with the name table as the last record.
std::string namedMebibytes()
{
    const std::string storage = containerOf(std::string(std::size_t{1} << 20, 'n'));
    std::string records;
    std::vector<tern::FormatName> names;
    for (std::uint32_t i = 0; i < 1023; ++i) {
        records += recordOf(0xE000 + i, storage);
        names.push_back({0xE000 + i, "application/x-bench-" + std::to_string(i)});
    }
    records += recordOf(0xF0FF, containerOf(tern::EncodeFormatNames(names)));
    return streamOf(1024, records);
}

// A JPEG whose header claims 8000 x 8000 pixels, cut short after its headers.
std::string claimedPicture()
{
    std::string jpeg = tern::EncodeJpeg(tern::bench::ScreenLike(16, 16), 90);
    const std::size_t frame = jpeg.find("\xFF\xC0");
    for (const std::size_t at : {frame + 5, frame + 7}) {
        jpeg[at] = static_cast<char>(8000 >> 8);
        jpeg[at + 1] = static_cast<char>(8000 & 0xFF);
    }
    jpeg.resize(std::min<std::size_t>(jpeg.find("\xFF\xDA") + 20, jpeg.size()));
    return streamOf(1, recordOf(2, containerOf(jpeg)));
}

// Text, HTML and RTF of the same prose, a program's own binary type and a screenshot: about 1 MB.
std::string normalSnapshot()
{
    const std::string prose = tern::bench::Prose(400'000);
    std::string text;
    for (const char c : prose.substr(0, 200'000))
        text += std::string{c, '\0'};
    text.append(2, '\0');
    std::string records = recordOf(2, containerOf(tern::EncodeJpeg(tern::bench::ScreenLike(1600, 900), 90)));
    records += recordOf(13, containerOf(text));
    records +=
        recordOf(0xF000, containerOf("<html><body><p>" + prose.substr(0, 300'000) + "</p></body></html>"));
    records += recordOf(0xF001, containerOf("{\\rtf1 " + prose.substr(0, 200'000) + "}"));
    records += recordOf(0xC123, containerOf(prose.substr(100'000, 150'000)));
    return streamOf(5, records);
}

// What the budget still lets through, at its edge: thirteen formats of 5,000,000 bytes of text, each
// of its own type, so that the clipboard keeps every one.
std::string itemsAtTheBudget()
{
    const std::string storage = containerOf(tern::bench::Prose(tern::kMaxFormatBytes, 7));
    std::string records;
    const std::uint32_t formats[] = {0xF000, 0xF001, 0xF002, 0xF003, 0xF010, 0xF011, 0xF012,
                                     0xF013, 0xF014, 0xF020, 0xF030, 0xF031, 0xF032};
    for (const std::uint32_t format : formats)
        records += recordOf(format, storage);
    return streamOf(13, records);
}

// A diagram across two 4K screens side by side (7680 x 2160), the largest picture the budget takes
// (its JPEG file within the 5,000,000 bytes of a format).
std::string pictureAtTheBudget()
{
    return streamOf(1, recordOf(2, containerOf(tern::EncodeJpeg(tern::bench::FlatPicture(7680, 2160), 90))));
}

// A container of 1,000 blocks of 1 MiB of zero bytes: about 1 MB stored, 1,000 MiB plain.
std::string zeroContainer()
{
    tern::TECLMemoryStream container(kPassword);
    const std::string block(tern::TECLMemoryStream::kBlockSize, '\0');
    for (int i = 0; i < 1000; ++i)
        container.Write(container.Size(), block);
    return container.Storage();
}

// --- single items, whose peak is counted in copies of the item

// Text that repeats every 16 KiB: its stored form is a few kilobytes, so that the peak of its restore
// is the decoded copies alone.
std::string repetitive(std::size_t size)
{
    const std::string unit = tern::bench::Prose(16384, 3);
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    text.resize(size);
    return text;
}

struct Item
{
    std::string stream;
    double bytes = 0;
};

// A snapshot of one item of `data` under `format`, named `name` by the snapshot's name table unless
// empty.
Item singleItem(std::uint32_t format, const std::string& data, const std::string& name = {})
{
    std::string records = recordOf(format, containerOf(data));
    if (name.empty())
        return {streamOf(1, records), static_cast<double>(data.size())};
    records +=
        recordOf(tern::platform::kFormatNameTable, containerOf(tern::EncodeFormatNames({{format, name}})));
    return {streamOf(2, records), static_cast<double>(data.size())};
}

const char* const kItemNames[] = {"a web page copied on Windows (\"HTML Format\")",
                                  "rich text copied on Windows (\"Rich Text Format\")",
                                  "a web page copied on Linux (text/html)",
                                  "a program's own type (application/x-bench-item)",
                                  "a 7680x2160 picture",
                                  "noise of a program's own type (stored at its full size)"};

// Items of about 5,000,000 bytes (the picture: its pixels), each in the form a capture makes of it. All
// but the noise are stored in a few kilobytes.
Item item(std::int64_t which)
{
    constexpr std::size_t kRoom = 1000; // for the framing of the Windows forms
    const std::string text = repetitive(tern::kMaxFormatBytes - kRoom);
    switch (which) {
    case 0:
        return singleItem(0xC0A1, tern::BuildHtmlFormat("<html><body><p>" + text + "</p></body></html>"),
                          "HTML Format");
    case 1:
        return singleItem(0xC0A2, "{\\rtf1 " + text + "}" + std::string(1, '\0'), "Rich Text Format");
    case 2:
        return singleItem(0xF000, "<html><body><p>" + text + "</p></body></html>");
    case 3:
        return singleItem(0xC0A3, text, "application/x-bench-item");
    case 5: {
        std::mt19937 noise(5);
        std::string bytes(tern::kMaxFormatBytes, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(noise());
        return singleItem(0xC0A4, bytes, "application/x-bench-noise");
    }
    default:
        return {
            streamOf(1, recordOf(2, containerOf(tern::EncodeJpeg(tern::bench::FlatPicture(7680, 2160), 90)))),
            7680.0 * 2160.0 * 3.0};
    }
}

// --- measuring

long statusField(const char* name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name, 0) == 0)
            return std::atol(line.c_str() + std::strlen(name)) * 1024L;
    }
    return 0;
}

struct Outcome
{
    double peakMiB = 0;
    bool refused = false;
};

// Runs `work` in a child process and gives its peak resident size above the size it had before.
Outcome inChild(const std::function<bool()>& setUpAndWork)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const bool refused = setUpAndWork();
        const long peak = statusField("VmHWM:");
        const long idle = std::atol(std::getenv("TERN_BENCH_IDLE"));
        std::string line = std::to_string(peak - idle) + " " + (refused ? "1" : "0");
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], line.data(), line.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    char buffer[64] = {};
    [[maybe_unused]] const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer - 1);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::istringstream in(buffer);
    long bytes = 0;
    int refused = 0;
    in >> bytes >> refused;
    return {static_cast<double>(bytes) / kMiB, refused != 0};
}

// The idle size is taken once the child is set up; the peak counter then starts again from it. Free
// heap memory is given back first: pages the parent left resident would otherwise be reused unseen.
void markIdle()
{
    malloc_trim(0);
    setenv("TERN_BENCH_IDLE", std::to_string(statusField("VmRSS:")).c_str(), 1);
    std::ofstream("/proc/self/clear_refs") << "5";
}

void report(benchmark::State& state, const Outcome& outcome)
{
    state.counters["peak_MiB"] = outcome.peakMiB;
    state.counters["goal_MiB"] = kGoalMiB;
    state.counters["ratio"] = outcome.peakMiB / kGoalMiB;
    state.counters["refused"] = outcome.refused ? 1 : 0;
}

const char* const kInputNames[] = {"983 KB of 5,000,000-byte zero formats",
                                   "1,023 named 1 MiB items",
                                   "a JPEG claiming 8000x8000",
                                   "a normal 5-format 1 MB snapshot",
                                   "13 formats of 5,000,000 bytes (the budget's edge)",
                                   "a 7680x2160 picture (the budget's edge)"};

std::string input(std::int64_t which)
{
    switch (which) {
    case 0:
        return zeroFormats();
    case 1:
        return namedMebibytes();
    case 2:
        return claimedPicture();
    case 3:
        return normalSnapshot();
    case 4:
        return itemsAtTheBudget();
    default:
        return pictureAtTheBudget();
    }
}

// The desktop program's Remote Paste of `stream` after the download, in a process of its own: read,
// decode, put on the clipboard. Refused: it threw, or nothing could be put.
Outcome desktopRestorePeak(const std::string& stream)
{
    return inChild([&stream] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "tern_memory_bench";
        char* argv[] = {name, nullptr};
        QGuiApplication application(argc, argv);
        tern::platform::x11::X11Clipboard clipboard;
        tern::TExClipboard restore(clipboard, [] { return kPassword; });
        markIdle();
        try {
            restore.LoadFromStream(stream);
            return !restore.RestoreAll();
        } catch (const tern::Error&) {
            return true;
        }
    });
}

void BM_DesktopRestorePeak(benchmark::State& state)
{
    const std::string stream = input(state.range(0));
    Outcome outcome;
    for (auto _ : state)
        outcome = desktopRestorePeak(stream);
    state.SetLabel(kInputNames[state.range(0)]);
    state.counters["snapshot_bytes"] = static_cast<double>(stream.size());
    report(state, outcome);
}

// The peak over the item's size, and what it holds beyond two copies of the item.
void reportCopies(benchmark::State& state, const Outcome& outcome, double itemBytes)
{
    state.counters["item_MiB"] = itemBytes / kMiB;
    state.counters["peak_MiB"] = outcome.peakMiB;
    state.counters["copies"] = outcome.peakMiB * kMiB / itemBytes;
    state.counters["beyond_2_copies_MiB"] = outcome.peakMiB - 2 * itemBytes / kMiB;
    state.counters["refused"] = outcome.refused ? 1 : 0;
}

// The desktop program's restore of one item: the counter `copies` is its peak over the item's size,
// which is to stay within two (our decoded item and the clipboard's copy) and a little.
void BM_DesktopItemCopies(benchmark::State& state)
{
    const Item measured = item(state.range(0));
    Outcome outcome;
    for (auto _ : state)
        outcome = desktopRestorePeak(measured.stream);
    state.SetLabel(kItemNames[state.range(0)]);
    reportCopies(state, outcome, measured.bytes);
}

// Runs the tool with `args` (standard input from `inputFile`) in `home` and gives its peak resident
// size (read from /proc as it ends, stopped there by ptrace) and whether it failed.
std::pair<double, bool> runTool(const std::string& home, const std::vector<std::string>& args,
                                const std::string& inputFile)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        const int in = open(inputFile.empty() ? "/dev/null" : inputFile.c_str(), O_RDONLY);
        const int out = open("/dev/null", O_WRONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        std::string program = TERN_TOOL;
        std::vector<std::string> copies = args;
        std::vector<char*> argv{program.data()};
        for (std::string& argument : copies)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    double peak = 0;
    int status = 0;
    waitpid(child, &status, 0); // stopped at the exec
    ptrace(PTRACE_SETOPTIONS, child, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT));
    ptrace(PTRACE_CONT, child, nullptr, nullptr);
    while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        int pass = WSTOPSIG(status);
        if ((status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            std::ifstream file("/proc/" + std::to_string(child) + "/status");
            std::string line;
            while (std::getline(file, line)) {
                if (line.rfind("VmHWM:", 0) == 0)
                    peak = std::atof(line.c_str() + 6) * 1024.0;
            }
            pass = 0;
        }
        ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void*>(static_cast<long>(pass)));
    }
    return {peak, !WIFEXITED(status) || WEXITSTATUS(status) != 0};
}

// The tool's peak above that of `tern --version`.
Outcome toolPeak(const std::string& home, const std::vector<std::string>& args, const std::string& inputFile)
{
    const auto idle = runTool(home, {"--version"}, "");
    const auto measured = runTool(home, args, inputFile);
    return {(measured.first - idle.first) / kMiB, measured.second};
}

// `tern paste --out DIR` of a download.
void BM_ToolPastePeak(benchmark::State& state)
{
    const std::string stream = input(state.range(0));
    tern::test::RecordingHttpServer service(tern::test::RecordingHttpServer::Response("200 OK", stream));
    tern::test::TempFolder home;
    const auto set = [&](const std::string& key, const std::string& value) {
        toolPeak(home.path(), {"config", "set", key, value}, "");
    };
    set("ServiceHost", service.base());
    set("Login", "bench@example.org");
    set("Password", kPassword);
    Outcome outcome;
    for (auto _ : state)
        outcome = toolPeak(home.path(), {"paste", "--out", home.path() + "/out"}, "");
    state.SetLabel(kInputNames[state.range(0)]);
    state.counters["snapshot_bytes"] = static_cast<double>(stream.size());
    report(state, outcome);
}

// `tern container unpack` of a container of 1,000 MiB of zero bytes.
void BM_ToolContainerUnpackPeak(benchmark::State& state)
{
    tern::test::TempFolder home;
    const std::string file = home.path() + "/zero.aacs";
    std::ofstream(file, std::ios::binary) << zeroContainer();
    Outcome outcome;
    for (auto _ : state)
        outcome = toolPeak(home.path(), {"container", "unpack", "--password-value", kPassword}, file);
    state.SetLabel("1.05 MB container of 1,000 MiB of zero bytes");
    report(state, outcome);
}

// Runs `wine TOOL args` and gives its peak resident size (the largest a process of it reached, from
// wait4) and whether it failed. Wine's loader replaces itself with the program in the same process.
std::pair<double, bool> runUnderWine(const std::string& tool, const std::vector<std::string>& args)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("WINEDEBUG", "-all", 1);
        const int out = open("/dev/null", O_RDWR);
        dup2(out, 0);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<std::string> copies{"wine", tool};
        copies.insert(copies.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& argument : copies)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execvp("wine", argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    return {static_cast<double>(usage.ru_maxrss) * 1024.0, !WIFEXITED(status) || WEXITSTATUS(status) != 0};
}

// `tern.exe paste --clipboard` on Windows, run under Wine when TERN_BENCH_WINDOWS_TOOL names tern.exe
// (the environment giving Wine its prefix and a display): the peak above that of the same paste of a
// short text, over the item's size.
void BM_WindowsToolPasteItemCopies(benchmark::State& state)
{
    const char* tool = std::getenv("TERN_BENCH_WINDOWS_TOOL");
    if (tool == nullptr) {
        state.SkipWithError("TERN_BENCH_WINDOWS_TOOL does not name tern.exe");
        return;
    }
    const Item measured = item(state.range(0));
    const std::string shortText =
        streamOf(1, recordOf(13, containerOf(std::string("s\0h\0o\0r\0t\0\0\0", 12))));
    // What the service serves: switched only while no paste runs.
    std::atomic<const std::string*> served = &shortText;
    tern::test::RecordingHttpServer service([&served](const std::string&) {
        return tern::test::RecordingHttpServer::Response("200 OK", *served.load());
    });
    const auto set = [&](const std::string& key, const std::string& value) {
        runUnderWine(tool, {"config", "set", key, value});
    };
    set("ServiceHost", service.base());
    set("Login", "bench@example.org");
    set("Password", kPassword);
    Outcome outcome;
    for (auto _ : state) {
        served = &shortText;
        const auto idle = runUnderWine(tool, {"paste", "--clipboard"});
        served = &measured.stream;
        const auto peak = runUnderWine(tool, {"paste", "--clipboard"});
        outcome = {(peak.first - idle.first) / kMiB, peak.second || idle.second};
    }
    state.SetLabel(kItemNames[state.range(0)]);
    reportCopies(state, outcome, measured.bytes);
}

} // namespace

BENCHMARK(BM_DesktopItemCopies)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowsToolPasteItemCopies)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesktopRestorePeak)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolPastePeak)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolContainerUnpackPeak)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
