// Authenticated read throughput of the hosted service against the single service, in one run: the
// whole deployment of scripts/deployment.sh (two tern-server instances on PostgreSQL behind nginx,
// over https) and one tern-server on SQLite over plain http. 8 client threads fetch one account's
// stored snapshot (read.html: the password check and a database read) as the client does, each on a
// new connection. Eight, because the service holds at most ten credential checks of one account from
// one address at a time (more are refused as a guessing attempt), and every thread here is one address.
// Reported per target: reads per second (items_per_second); the two are compared within one run, three
// repetitions each. A third benchmark alternates, on the deployment, a read of the transport (TLS
// session resumed from the process's cache) with the same read made by libcurl with a fresh handshake
// each time, as every read was made before the cache, and reports the ratio of their times.
#include "clipboard/ClipboardFormat.h"
#include "service/CurlTransport.h"
#include "service/PasswordDigest.h"
#include "service/ServiceProtocol.h"
#include "support/ServerProcess.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <cstdio>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace {

constexpr const char* kEmail = "reader@example.org";
constexpr int kClients = 8;

// A snapshot of two formats of 50 kB each (a text and a program's own type), each in its container.
std::string sampleSnapshot(const std::string& password)
{
    std::mt19937 random(7);
    tern::ClipboardFormats formats;
    for (const std::uint32_t format : {13u, 0xE000u}) {
        auto item = std::make_unique<tern::TClipboardFormat>(password);
        item->Format = format;
        std::string data(50000, '\0');
        for (char& c : data)
            c = static_cast<char>('a' + random() % 26);
        item->Data.Write(0, data);
        formats.push_back(std::move(item));
    }
    std::string stream;
    tern::SaveSnapshot(formats, stream);
    return stream;
}

// A service with one account whose snapshot is stored; reads go through `transport`.
class Target
{
public:
    std::string readUrl;
    std::size_t snapshotSize = 0;
    std::unique_ptr<tern::CurlTransport> transport;
    std::string failure; // why the target is not available; empty when it is
    std::string caPath;  // the CA file of its https address; empty for http

protected:
    void prepare(const std::string& host, const std::string& caFile)
    {
        caPath = caFile;
        transport = std::make_unique<tern::CurlTransport>(std::chrono::seconds(60),
                                                          tern::CurlTransport::kMaxReplyBytes, caFile);
        const std::string password = tern::PasswordDigest("bench password");
        const auto registered =
            transport->post(tern::AuthServiceUrl(host, tern::kRegisterPath), tern::kFormContentType,
                            tern::CredentialsBody(kEmail, password));
        if (!registered || registered->find("\"ok\"") == std::string::npos)
            throw std::runtime_error("registration failed: " + registered.value_or("no answer"));
        const std::string snapshot = sampleSnapshot(password);
        snapshotSize = snapshot.size();
        const tern::MultipartBody upload = tern::BuildMultipartBody(snapshot);
        const auto saved =
            transport->post(tern::SaveUrl(host, kEmail, password), upload.contentType, upload.body);
        if (!saved || saved->find("\"ok\"") == std::string::npos)
            throw std::runtime_error("the snapshot was not stored: " + saved.value_or("no answer"));
        readUrl = tern::ReadUrl(host, kEmail, password);
    }
};

// One tern-server on SQLite, on a free loopback port.
class SingleInstance : public Target
{
    tern::test::ServiceProcess m_process;

public:
    SingleInstance()
    {
        if (m_process.address().empty())
            throw std::runtime_error("tern-server did not start: " + m_process.startLine());
        prepare(m_process.address(), {});
    }
};

// The deployment started with scripts/deployment.sh in a folder of its own, stopped at exit.
class Deployment : public Target
{
    tern::test::TempFolder m_folder;
    bool m_up = false;

    int script(const char* action) const
    {
        const std::string command = "TERN_BUILD_DIR='" TERN_BUILD_DIR "' '" TERN_SOURCE_DIR
                                    "/scripts/deployment.sh' " +
                                    std::string(action) + " '" + m_folder.path() + "' >/dev/null";
        return std::system(command.c_str());
    }

public:
    Deployment()
    {
        if (script("up") != 0) {
            failure = "scripts/deployment.sh up failed (are nginx and PostgreSQL installed?)";
            return;
        }
        m_up = true;
        std::ifstream urlFile(m_folder.file("url"));
        std::string url;
        std::getline(urlFile, url);
        prepare(url, m_folder.file("ca.pem"));
    }
    ~Deployment()
    {
        if (m_up)
            script("down");
    }
    Deployment(const Deployment&) = delete;
    Deployment& operator=(const Deployment&) = delete;
};

template <typename Kind> Target& target()
{
    static Kind instance;
    return instance;
}

template <typename Kind> void BM_AuthenticatedRead(benchmark::State& state)
{
    Target& service = target<Kind>();
    if (!service.failure.empty()) {
        state.SkipWithError(service.failure.c_str());
        return;
    }
    for (auto _ : state) {
        const auto reply = service.transport->get(service.readUrl);
        if (!reply || reply->size() != service.snapshotSize) {
            const std::string why = reply ? "a read gave " + std::to_string(reply->size()) + " bytes"
                                          : std::string("a read got no answer");
            state.SkipWithError(why.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

std::size_t countBytes(char*, std::size_t size, std::size_t count, void* total)
{
    *static_cast<std::size_t*>(total) += size * count;
    return size * count;
}

// One read with the transport's settings on handles of its own: a new connection and a full TLS
// handshake. The number of body bytes; 0 when the read failed.
std::size_t freshHandshakeRead(const std::string& url, const std::string& caFile)
{
    CURL* curl = curl_easy_init();
    std::size_t bytes = 0;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_0});
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &countBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &bytes);
    const bool ok = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_cleanup(curl);
    return ok ? bytes : 0;
}

void BM_DeploymentReadSessionReuse(benchmark::State& state)
{
    Target& service = target<Deployment>();
    if (!service.failure.empty()) {
        state.SkipWithError(service.failure.c_str());
        return;
    }
    using Clock = std::chrono::steady_clock;
    double reused = 0;
    double fresh = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto reply = service.transport->get(service.readUrl);
        const auto between = Clock::now();
        const std::size_t freshBytes = freshHandshakeRead(service.readUrl, service.caPath);
        reused += std::chrono::duration<double>(between - start).count();
        fresh += std::chrono::duration<double>(Clock::now() - between).count();
        if (!reply || reply->size() != service.snapshotSize || freshBytes != service.snapshotSize) {
            state.SkipWithError("a read failed");
            break;
        }
    }
    const auto perRead = [&state](double total) {
        return benchmark::Counter(1000 * total / static_cast<double>(state.iterations()),
                                  benchmark::Counter::kAvgThreads);
    };
    state.counters["reused_ms"] = perRead(reused);
    state.counters["fresh_ms"] = perRead(fresh);
    state.counters["ratio"] = benchmark::Counter(reused / fresh, benchmark::Counter::kAvgThreads);
    char label[120];
    std::snprintf(label, sizeof label, "read with a resumed TLS session: %.2fx of one with a full handshake",
                  reused / fresh);
    state.SetLabel(label);
}

void BM_SingleInstanceSqlite(benchmark::State& state)
{
    BM_AuthenticatedRead<SingleInstance>(state);
}

void BM_TwoInstancesBehindNginx(benchmark::State& state)
{
    BM_AuthenticatedRead<Deployment>(state);
}

} // namespace

BENCHMARK(BM_SingleInstanceSqlite)->Threads(kClients)->UseRealTime()->MinTime(5.0)->Repetitions(3);
BENCHMARK(BM_TwoInstancesBehindNginx)->Threads(kClients)->UseRealTime()->MinTime(5.0)->Repetitions(3);
BENCHMARK(BM_DeploymentReadSessionReuse)->Threads(kClients)->UseRealTime()->MinTime(5.0);
