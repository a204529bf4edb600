// Authenticated read throughput of the hosted service against the single service, in one run: the
// whole deployment of scripts/deployment.sh (two tern-server instances on PostgreSQL behind nginx,
// over https) and one tern-server on SQLite over plain http. 8 client threads fetch one account's
// stored snapshot (read.html: the password check and a database read) as the client does, each on a
// new connection. Eight, because the service holds at most ten credential checks of one account from
// one address at a time (more are refused as a guessing attempt), and every thread here is one address.
// Reported per target: reads per second (items_per_second); the two are compared within one run, three
// repetitions each.
#include "clipboard/ClipboardFormat.h"
#include "service/CurlTransport.h"
#include "service/PasswordDigest.h"
#include "service/ServiceProtocol.h"
#include "support/ServerProcess.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

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

protected:
    void prepare(const std::string& host, const std::string& caFile)
    {
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
