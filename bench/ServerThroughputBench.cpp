// Requests per second of tern-server on loopback, one HTTP/1.0 connection per request as the client
// makes them: a read of a 2 KB snapshot with credentials against the version check, which needs none.
// Rounds of the two alternate within one run, so that the ratio is taken under the same load; the
// goal is a ratio (version checks per read) of at most 2.
#include "support/ServerProcess.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kEmail = "throughput%40example.org";
constexpr const char* kPass = "5f4dcc3b5aa765d61d8327deb882cf99";
constexpr int kRequestsPerRound = 25;
constexpr double kRatioGoal = 2.0;

std::size_t appendReply(char* data, std::size_t size, std::size_t count, void* reply)
{
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

// A snapshot stream of four 500-byte records: about 2 KB.
std::string snapshot()
{
    const auto le32 = [](std::uint32_t value) {
        std::string bytes(4, '\0');
        for (std::size_t i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    std::string stream = le32(4);
    for (int record = 0; record < 4; ++record)
        stream += '\x01' + le32(13) + le32(500) + std::string(500, static_cast<char>('a' + record));
    return stream;
}

class Client
{
public:
    Client() : m_curl(curl_easy_init())
    {
        if (m_curl == nullptr)
            throw std::runtime_error("curl_easy_init failed");
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, appendReply);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &m_reply);
        curl_easy_setopt(m_curl, CURLOPT_NOPROXY, "*");
        curl_easy_setopt(m_curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    }
    ~Client() { curl_easy_cleanup(m_curl); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // The body of a 200 reply to a GET (or a POST of `form`, or of a "data" part); throws otherwise.
    const std::string& request(const std::string& url, const std::string* form = nullptr,
                               const std::string* upload = nullptr)
    {
        m_reply.clear();
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_HTTPGET, 1L);
        curl_mime* mime = nullptr;
        if (form) {
            curl_easy_setopt(m_curl, CURLOPT_POSTFIELDS, form->c_str());
        } else if (upload) {
            mime = curl_mime_init(m_curl);
            curl_mimepart* part = curl_mime_addpart(mime);
            curl_mime_name(part, "data");
            curl_mime_filename(part, "clpdata.gif");
            curl_mime_data(part, upload->data(), upload->size());
            curl_easy_setopt(m_curl, CURLOPT_MIMEPOST, mime);
        }
        const CURLcode code = curl_easy_perform(m_curl);
        long status = 0;
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
        curl_mime_free(mime);
        if (code != CURLE_OK || status != 200)
            throw std::runtime_error(url + " failed: " + curl_easy_strerror(code) + ", status " +
                                     std::to_string(status));
        return m_reply;
    }

private:
    CURL* m_curl;
    std::string m_reply;
};

// tern-server with one account holding the snapshot.
class Service
{
public:
    Service()
    {
        if (m_process.address().empty())
            throw std::runtime_error("tern-server did not start: " + m_process.startLine());
        const std::string credentials = std::string("email=") + kEmail + "&pass=" + kPass;
        const std::string& registered = m_client.request(url("/index.php/auth/register"), &credentials);
        if (registered.find("\"ok\"") == std::string::npos)
            throw std::runtime_error("registration failed: " + registered);
        const std::string stream = snapshot();
        m_client.request(url("/storage/save.html?" + credentials), nullptr, &stream);
        readUrl = url("/storage/read.html?" + credentials);
        checkUrl = url("/start/check.html?v=1");
    }

    std::string url(const std::string& target) const { return m_process.address() + target; }

    std::string readUrl;
    std::string checkUrl;

private:
    tern::test::ServiceProcess m_process;
    Client m_client;
};

double round(Client& client, const std::string& url, std::size_t expectedBytes)
{
    const auto start = Clock::now();
    for (int i = 0; i < kRequestsPerRound; ++i) {
        if (client.request(url).size() != expectedBytes)
            throw std::runtime_error(url + " answered a reply of the wrong size");
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_AuthenticatedReadAgainstVersionCheck(benchmark::State& state)
{
    static Service service;
    Client client;
    const std::size_t snapshotBytes = snapshot().size();
    const std::size_t checkBytes = client.request(service.checkUrl).size();
    double readSeconds = 0;
    double checkSeconds = 0;
    for (auto _ : state) {
        readSeconds += round(client, service.readUrl, snapshotBytes);
        checkSeconds += round(client, service.checkUrl, checkBytes);
    }
    const double requests = static_cast<double>(state.iterations()) * kRequestsPerRound;
    const double readsPerSecond = requests / readSeconds;
    const double checksPerSecond = requests / checkSeconds;
    state.counters["read_per_s"] = readsPerSecond;
    state.counters["check_per_s"] = checksPerSecond;
    state.counters["ratio"] = checksPerSecond / readsPerSecond;
    state.counters["ratio_goal"] = kRatioGoal;
}

} // namespace

BENCHMARK(BM_AuthenticatedReadAgainstVersionCheck)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Repetitions(3);
