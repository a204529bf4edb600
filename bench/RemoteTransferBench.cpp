// What a user waits for: Remote Copy and Remote Paste of a realistic five-format snapshot, end to end
// against tern-server on loopback (the password check included), each round interleaved with its bare
// counterpart (the library calls the operation stands on: zlib, libjpeg and a plain libcurl request),
// with the share of each stage; and the restore of hostile snapshots. Every goal's ratio (measured
// time / limit) is computed here and reported with its limit; a ratio above 1 misses the goal.
#include "BareCodecs.h"
#include "BenchData.h"
#include "clipboard/ExClipboard.h"
#include "config/ConfServiceSettings.h"
#include "config/ConfStore.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDesktopShell.h"
#include "platform/fake/MemorySettings.h"
#include "service/ByteOrder.h"
#include "service/CurlTransport.h"
#include "service/PasswordDigest.h"
#include "service/ServiceClient.h"
#include "support/ServerProcess.h"
#include "support/TempFolder.h"
#include "util/Errors.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;
using tern::platform::ClipboardEntry;

constexpr double kCopyLimitSeconds = 0.3;
constexpr double kPasteLimitSeconds = 0.6;
constexpr double kHostileLimitSeconds = 1.0;
constexpr std::uint32_t kHtml = 0xF000;
constexpr std::uint32_t kRtf = 0xF001;
constexpr std::uint32_t kOwnType = 0xE000;

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// UTF-16LE with its terminating zero, as the clipboard holds text.
std::string utf16(const std::string& ascii)
{
    std::string block;
    block.reserve(ascii.size() * 2 + 2);
    for (const char c : ascii) {
        block += c;
        block += '\0';
    }
    return block.append(2, '\0');
}

// Five formats, about 1 MB of plain data and a screenshot-like picture: text, HTML and RTF of the
// same prose, a program's own binary type and the picture.
std::vector<ClipboardEntry> fiveFormats()
{
    const std::string prose = tern::bench::Prose(160'000, 7);
    std::string html = "<html><body><!--StartFragment--><p>";
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Segoe UI;}}\\f0\\fs20 ";
    for (std::size_t at = 0; at < prose.size(); at += 400) {
        html += prose.substr(at, 400) + "</p>\r\n<p class=\"body\">";
        rtf += prose.substr(at, 400) + "\\par\r\n";
    }
    html += "</p><!--EndFragment--></body></html>";
    rtf += "}";
    std::string own = tern::bench::Prose(120'000, 11);
    for (std::size_t at = 0; at < own.size(); at += 16)
        own[at] = '\0';
    return {{tern::platform::kFormatUnicodeText, utf16(prose)},
            {kHtml, html},
            {kRtf, rtf},
            {kOwnType, own},
            {tern::platform::kFormatBitmap, tern::bench::ScreenLike(1280, 800)}};
}

// The clipboard object of the benchmark: captures from one fake clipboard, restores onto another,
// and times its stages.
class TimedSnapshots final : public tern::SnapshotClipboard
{
public:
    explicit TimedSnapshots(const std::string& password) : m_password(password) {}

    std::string captureSnapshot() override
    {
        const auto start = Clock::now();
        m_capture.CaptureAll();
        std::string stream;
        m_capture.SaveToStream(stream);
        captureTime = Clock::now() - start;
        return stream;
    }
    bool restoreSnapshot(const std::string& stream) override
    {
        const auto start = Clock::now();
        m_restore.LoadFromStream(stream);
        const auto loaded = Clock::now();
        const bool restored = m_restore.RestoreAll();
        openTime = loaded - start;
        restoreTime = Clock::now() - loaded;
        return restored;
    }
    int SaveShareable(std::string&) override { return 0; }

    tern::platform::fake::FakeClipboard source;
    tern::platform::fake::FakeClipboard target;
    Clock::duration captureTime{}, openTime{}, restoreTime{};

private:
    const std::string& m_password;
    tern::TExClipboard m_capture{source, [this] { return m_password; }};
    tern::TExClipboard m_restore{target, [this] { return m_password; }};
};

// tern-server on loopback with one account, and a service client signed in to it.
class Service
{
    tern::test::ServiceProcess m_process;
    tern::test::TempFolder m_startup;
    tern::platform::fake::MemorySettings m_settings;
    tern::platform::fake::FakeDesktopShell m_shell;
    tern::CurlTransport m_transport;
    const std::string m_password = tern::PasswordDigest("bench password");

public:
    Service()
    {
        if (m_process.address().empty())
            throw std::runtime_error("tern-server did not start: " + m_process.startLine());
        m_shell.folders[tern::platform::SpecialFolder::Startup] = m_startup.path();
        store = std::make_unique<tern::TConfStore>(m_settings, m_shell);
        store->SaveOnDestroy = false;
        store->Apply({.ServiceHost = m_process.address()});
        serviceSettings = std::make_unique<tern::ConfServiceSettings>(*store);
        client = std::make_unique<tern::ServiceClient>(
            *serviceSettings, [](const std::string&, const std::string& key) { return key; }, m_transport,
            snapshots);
        if (client->RegisterAccount("bench@example.org", m_password))
            throw std::runtime_error("the benchmark account could not be registered");
        snapshots.source.set(fiveFormats());
    }

    static Service& instance()
    {
        static Service service;
        return service;
    }

    std::unique_ptr<tern::TConfStore> store;
    std::unique_ptr<tern::ConfServiceSettings> serviceSettings;
    TimedSnapshots snapshots{m_password};
    std::unique_ptr<tern::ServiceClient> client;
};

std::size_t appendReply(char* data, std::size_t size, std::size_t count, void* reply)
{
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

// One plain libcurl request: a multipart POST of `upload` (when given) or a GET. Throws on any failure.
std::string bareRequest(const std::string& url, const std::string* upload)
{
    CURL* curl = curl_easy_init();
    if (curl == nullptr)
        throw std::runtime_error("curl_easy_init failed");
    std::string reply;
    curl_mime* mime = nullptr;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendReply);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    if (upload) {
        mime = curl_mime_init(curl);
        curl_mimepart* part = curl_mime_addpart(mime);
        curl_mime_name(part, "data");
        curl_mime_filename(part, "clpdata.gif");
        curl_mime_data(part, upload->data(), upload->size());
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);
    }
    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_mime_free(mime);
    curl_easy_cleanup(curl);
    if (code != CURLE_OK || status != 200)
        throw std::runtime_error(std::string("bare request failed: ") + curl_easy_strerror(code));
    return reply;
}

// The bare work of a Remote Copy: compress every format as the containers do, and post the snapshot.
void bareCopy(Service& service, const std::vector<std::string>& plain, const std::string& stream)
{
    for (const std::string& item : plain) {
        uLongf size = compressBound(item.size());
        std::string out(size, '\0');
        if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(item.data()), item.size(), 5) != Z_OK)
            throw std::runtime_error("compress2 failed");
    }
    const std::string reply = bareRequest(
        tern::SaveUrl(service.store->ServiceHost, service.store->Login, service.store->Password), &stream);
    if (reply.find("\"ok\"") == std::string::npos)
        throw std::runtime_error("bare upload refused: " + reply);
}

// The bare work of a Remote Paste: get the snapshot, inflate every format, decode the picture.
void barePaste(Service& service, const std::vector<std::string>& compressed,
               const std::vector<std::size_t>& sizes, const std::string& jpeg)
{
    const std::string body = bareRequest(
        tern::ReadUrl(service.store->ServiceHost, service.store->Login, service.store->Password), nullptr);
    if (body.size() < 4)
        throw std::runtime_error("bare download empty");
    for (std::size_t i = 0; i < compressed.size(); ++i) {
        std::string plain(sizes[i], '\0');
        uLongf size = plain.size();
        if (uncompress(reinterpret_cast<Bytef*>(plain.data()), &size,
                       reinterpret_cast<const Bytef*>(compressed[i].data()), compressed[i].size()) != Z_OK)
            throw std::runtime_error("uncompress failed");
    }
    if (tern::bench::BareJpegDecode(jpeg) == 0)
        throw std::runtime_error("JPEG decoding failed");
}

// The plain bytes of the captured items (the picture as its JPEG file), their zlib streams and sizes.
struct BareInputs
{
    std::vector<std::string> plain, compressed;
    std::vector<std::size_t> sizes;
    std::string jpeg;
};

BareInputs bareInputs(Service& service)
{
    BareInputs inputs;
    tern::TExClipboard capture(service.snapshots.source, [&] { return service.store->Password; });
    capture.CaptureAll();
    for (const auto& item : capture.Formats) {
        inputs.plain.push_back(item->Data.ReadAll());
        if (item->Format == tern::platform::kFormatBitmap)
            inputs.jpeg = inputs.plain.back();
        uLongf size = compressBound(inputs.plain.back().size());
        std::string out(size, '\0');
        if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(inputs.plain.back().data()), inputs.plain.back().size(),
                      5) != Z_OK)
            throw std::runtime_error("compress2 failed");
        out.resize(size);
        inputs.compressed.push_back(out);
        inputs.sizes.push_back(inputs.plain.back().size());
    }
    return inputs;
}

// How well zlib at level 5 compresses the prose of the snapshot (real prose: about 2.5).
double proseRatio()
{
    const std::string prose = tern::bench::Prose(160'000, 7);
    uLongf size = compressBound(prose.size());
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(prose.data()),
                  prose.size(), 5) != Z_OK)
        throw std::runtime_error("compress2 failed");
    return static_cast<double>(prose.size()) / static_cast<double>(size);
}

void reportGoal(benchmark::State& state, const char* goal, double measured, double limit, double bare)
{
    const double ratio = measured / limit;
    state.counters["limit_s"] = limit;
    state.counters["goal_ratio"] = ratio;
    state.counters["bare_s"] = bare;
    state.counters["over_bare"] = bare > 0 ? measured / bare : 0;
    char label[160];
    std::snprintf(label, sizeof label, "%s: %.3f s of %.1f s, ratio %.2f %s", goal, measured, limit, ratio,
                  ratio <= 1.0 ? "met" : "MISSED");
    state.SetLabel(label);
}

void BM_RemoteCopyEndToEnd(benchmark::State& state)
{
    try {
        Service& service = Service::instance();
        const BareInputs bare = bareInputs(service);
        const std::string stream = service.snapshots.captureSnapshot();
        double measuredTotal = 0, bareTotal = 0, captureTotal = 0;
        for (auto _ : state) {
            const auto start = Clock::now();
            if (!service.client->UploadSnapshot())
                throw std::runtime_error("upload refused");
            const double measured = seconds(Clock::now() - start);
            state.SetIterationTime(measured);
            measuredTotal += measured;
            captureTotal += seconds(service.snapshots.captureTime);
            const auto bareStart = Clock::now();
            bareCopy(service, bare.plain, stream);
            bareTotal += seconds(Clock::now() - bareStart);
        }
        const double n = static_cast<double>(state.iterations());
        state.counters["snapshot_bytes"] = static_cast<double>(stream.size());
        state.counters["prose_ratio"] = proseRatio();
        state.counters["capture_share"] = captureTotal / measuredTotal;
        state.counters["upload_share"] = 1.0 - captureTotal / measuredTotal;
        reportGoal(state, "Remote Copy", measuredTotal / n, kCopyLimitSeconds, bareTotal / n);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

void BM_RemotePasteEndToEnd(benchmark::State& state)
{
    try {
        Service& service = Service::instance();
        const BareInputs bare = bareInputs(service);
        if (!service.client->UploadSnapshot())
            throw std::runtime_error("upload refused");
        double measuredTotal = 0, bareTotal = 0, openTotal = 0, restoreTotal = 0;
        for (auto _ : state) {
            const auto start = Clock::now();
            if (!service.client->DownloadSnapshot())
                throw std::runtime_error("nothing restored");
            const double measured = seconds(Clock::now() - start);
            state.SetIterationTime(measured);
            measuredTotal += measured;
            openTotal += seconds(service.snapshots.openTime);
            restoreTotal += seconds(service.snapshots.restoreTime);
            if (service.snapshots.target.content.size() != 5)
                throw std::runtime_error("not every format was restored");
            const auto bareStart = Clock::now();
            barePaste(service, bare.compressed, bare.sizes, bare.jpeg);
            bareTotal += seconds(Clock::now() - bareStart);
        }
        const double n = static_cast<double>(state.iterations());
        state.counters["open_share"] = openTotal / measuredTotal; // the password check is here
        state.counters["restore_share"] = restoreTotal / measuredTotal;
        state.counters["download_share"] = 1.0 - (openTotal + restoreTotal) / measuredTotal;
        reportGoal(state, "Remote Paste", measuredTotal / n, kPasteLimitSeconds, bareTotal / n);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

std::string record(std::uint32_t format, const std::string& storage)
{
    std::string bytes(9, '\0');
    bytes[0] = 0x01;
    tern::PutLe32(bytes.data() + 1, format);
    tern::PutLe32(bytes.data() + 5, static_cast<std::uint32_t>(storage.size()));
    return bytes + storage;
}

std::string snapshotOf(std::uint32_t count, const std::string& records)
{
    std::string stream(4, '\0');
    tern::PutLe32(stream.data(), count);
    return stream + records;
}

// 0: 1 MB of empty records (the count claims them all); 1: 1,024 records of enciphered container
// headers under the right password value (every one opened and checked); 2: records of 5,000,000
// zero bytes each, past the decoded budget.
std::string hostileSnapshot(std::int64_t which, const std::string& password)
{
    std::string records;
    if (which == 0) {
        while (records.size() + 9 <= 1'000'000 - 4)
            records += record(kHtml, "");
        return snapshotOf(static_cast<std::uint32_t>(records.size() / 9), records);
    }
    tern::TECLMemoryStream container(password);
    if (which == 1) {
        for (int i = 0; i < 1024; ++i)
            records += record(kHtml, container.Storage());
        return snapshotOf(1024, records);
    }
    container.Write(0, std::string(5'000'000, '\0'));
    for (int i = 0; i < 256; ++i)
        records += record(kHtml, container.Storage());
    return snapshotOf(256, records);
}

void BM_HostileRestore(benchmark::State& state)
{
    const std::string password = tern::PasswordDigest("bench password");
    const std::string stream = hostileSnapshot(state.range(0), password);
    tern::platform::fake::FakeClipboard clipboard;
    clipboard.set({{tern::platform::kFormatUnicodeText, utf16("the user's own text")}});
    tern::TExClipboard restore(clipboard, [&] { return password; });
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        try {
            restore.LoadFromStream(stream);
            restore.RestoreAll();
        } catch (const tern::Error&) {
            // Refused, as it should be; what counts is how long that took.
        }
        const double measured = seconds(Clock::now() - start);
        state.SetIterationTime(measured);
        total += measured;
    }
    static constexpr const char* kNames[] = {"1 MB of empty records", "1,024 container headers",
                                             "over the decoded budget"};
    state.counters["snapshot_bytes"] = static_cast<double>(stream.size());
    reportGoal(state, kNames[state.range(0)], total / static_cast<double>(state.iterations()),
               kHostileLimitSeconds, 0);
}

} // namespace

// Measured and bare calls alternate inside every iteration; each benchmark is repeated.
BENCHMARK(BM_RemoteCopyEndToEnd)
    ->Iterations(5)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemotePasteEndToEnd)
    ->Iterations(5)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileRestore)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->Repetitions(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
