// Sixteen clients mix every kind of request against a real tern-server process for a while (20 s, or
// TERN_LOAD_SECONDS), while eight connections trickle headers that never end. Every request must
// succeed; the throughput and 95th percentile latency of each kind are printed.
#include "RawHttp.h"
#include "ServerFixture.h"
#include "support/ServerProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

namespace tern::server::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 16;
constexpr int kSlowConnections = 8;

std::chrono::seconds loadDuration()
{
    const char* text = std::getenv("TERN_LOAD_SECONDS");
    const int seconds = text ? std::atoi(text) : 20;
    return std::chrono::seconds(std::clamp(seconds, 1, 120));
}

std::string jsonStatus(const RawReply& reply)
{
    const auto object = nlohmann::json::parse(reply.body, nullptr, false);
    return object.is_object() && object.contains("status") && object["status"].is_string()
               ? object["status"].get<std::string>()
               : std::string("<no status>");
}

struct Tally
{
    std::vector<double> milliseconds;
    int failures = 0;
    std::string firstFailure;
};

class LoadClient
{
public:
    // Each client has its own account and its own loopback address, as separate users would.
    LoadClient(int port, int index)
        : m_port(port), m_index(index), m_email("load" + std::to_string(index) + "@example.com"),
          m_from("127.0.0." + std::to_string(10 + index)),
          m_credentials("?email=" + FormValue(m_email) + "&pass=" + kPass)
    {
    }

    // Registers the client's account and stores `snapshot` in it; the failure, or empty.
    std::string prepare(const std::string& snapshot)
    {
        const RawReply registered = send(FormRequest(m_port, "/index.php/auth/register", form()));
        if (jsonStatus(registered) != "ok")
            return "register: " + registered.body;
        const RawReply saved = send(UploadRequest(m_port, "/storage/save.html" + m_credentials, snapshot));
        return jsonStatus(saved) == "ok" ? std::string() : "save: " + saved.body;
    }

    void run(Clock::time_point until, const std::string& snapshot, std::map<std::string, Tally>& tallies)
    {
        for (int turn = m_index; Clock::now() < until; ++turn) {
            const auto start = Clock::now();
            std::string failure;
            const std::string kind = step(turn % 6, snapshot, failure);
            Tally& tally = tallies[kind];
            tally.milliseconds.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (!failure.empty() && tally.failures++ == 0)
                tally.firstFailure = failure;
        }
    }

private:
    RawReply send(const std::string& request) const { return SendRaw(m_port, request, m_from); }
    std::string form() const { return "email=" + FormValue(m_email) + "&pass=" + kPass; }

    // One request of the kind chosen by `which`; `failure` says what went wrong, if anything.
    std::string step(int which, const std::string& snapshot, std::string& failure)
    {
        const auto expectJson = [&](const RawReply& reply, const std::string& wanted) {
            if (reply.status != 200 || jsonStatus(reply) != wanted)
                failure = std::to_string(reply.status) + " " + reply.body.substr(0, 80);
        };
        switch (which) {
        case 0:
            expectJson(send(FormRequest(m_port, "/index.php/auth/validate", form())), "validated");
            return "validate";
        case 1:
            expectJson(send(FormRequest(m_port, "/index.php/auth/check", form())), "ok");
            return "check";
        case 2:
            expectJson(send(UploadRequest(m_port, "/storage/save.html" + m_credentials, snapshot)), "ok");
            return "save";
        case 3: {
            const RawReply reply = send(GetRequest(m_port, "/storage/read.html" + m_credentials));
            if (reply.status != 200 || reply.body != snapshot)
                failure =
                    std::to_string(reply.status) + " with " + std::to_string(reply.body.size()) + " bytes";
            return "read";
        }
        case 4: {
            const RawReply reply =
                send(UploadRequest(m_port, "/storage/share.html" + m_credentials + "&tp=1", "shared text"));
            expectJson(reply, "ok");
            const auto object = nlohmann::json::parse(reply.body, nullptr, false);
            if (failure.empty() && object.is_object() && object.contains("accesskey"))
                m_lastKey = object["accesskey"].get<std::string>();
            return "share";
        }
        default: {
            const std::string target =
                m_lastKey.empty() ? std::string("/start/check.html?v=1") : "/d/" + m_lastKey + ".html";
            const RawReply reply = send(GetRequest(m_port, target));
            if (reply.status != 200)
                failure = std::to_string(reply.status) + " for " + target;
            return "page";
        }
        }
    }

    int m_port;
    int m_index;
    std::string m_email;
    std::string m_from;
    std::string m_credentials;
    std::string m_lastKey;
};

// Keeps `count` connections open that send one header line a second and never finish; a connection
// the service closes is opened again.
void holdSlowConnections(int port, int count, Clock::time_point until, int& reopened)
{
    std::vector<std::unique_ptr<RawConnection>> connections(static_cast<std::size_t>(count));
    while (Clock::now() < until) {
        for (auto& connection : connections) {
            if (connection && !connection->closedWithin(0ms) && connection->send("X-Slow: 1\r\n"))
                continue;
            if (connection)
                ++reopened;
            connection = std::make_unique<RawConnection>(port);
            connection->send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        }
        std::this_thread::sleep_for(1s); // the slow client's own pace
    }
}

double percentile95(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 95 / 100)];
}

TEST(ServerLoad, MixedClientsAllSucceedWhileSlowConnectionsAreHeld)
{
    // Thousands of shares per account: no quota.
    tern::test::ServiceProcess service({"--max-shares", "0", "--max-share-mb", "0"});
    ASSERT_FALSE(service.address().empty()) << service.startLine();
    const int port = service.port();
    const std::string snapshot = Snapshot(4, 500); // about 2 KB

    std::vector<LoadClient> loadClients;
    for (int i = 0; i < kClients; ++i) {
        loadClients.emplace_back(port, i);
        const std::string failure = loadClients.back().prepare(snapshot);
        ASSERT_EQ(failure, "") << "client " << i;
    }

    const auto duration = loadDuration();
    const auto until = Clock::now() + duration;
    int reopened = 0;
    std::thread slow(holdSlowConnections, port, kSlowConnections, until, std::ref(reopened));
    std::vector<std::map<std::string, Tally>> tallies(kClients);
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            const auto index = static_cast<std::size_t>(i);
            loadClients[index].run(until, snapshot, tallies[index]);
        });
    }
    for (auto& client : clients)
        client.join();
    slow.join();

    std::map<std::string, Tally> total;
    for (const auto& perClient : tallies) {
        for (const auto& [kind, tally] : perClient) {
            Tally& sum = total[kind];
            sum.milliseconds.insert(sum.milliseconds.end(), tally.milliseconds.begin(),
                                    tally.milliseconds.end());
            if (sum.failures == 0 && tally.failures > 0)
                sum.firstFailure = tally.firstFailure;
            sum.failures += tally.failures;
        }
    }
    std::printf("%d clients for %lld s, %d slow-header connections held (%d reopened after their deadline)\n",
                kClients, static_cast<long long>(duration.count()), kSlowConnections, reopened);
    std::printf("%-10s %10s %10s %10s %10s\n", "request", "count", "per s", "p95 ms", "failed");
    for (const auto& [kind, tally] : total) {
        std::printf("%-10s %10zu %10.1f %10.2f %10d\n", kind.c_str(), tally.milliseconds.size(),
                    static_cast<double>(tally.milliseconds.size()) / static_cast<double>(duration.count()),
                    percentile95(tally.milliseconds), tally.failures);
        EXPECT_EQ(tally.failures, 0) << kind << ": " << tally.firstFailure;
        EXPECT_GT(tally.milliseconds.size(), 0U) << kind;
    }
    for (const char* kind : {"validate", "check", "save", "read", "share", "page"})
        EXPECT_TRUE(total.contains(kind)) << kind << " never ran";
    std::fflush(stdout);
}

} // namespace
} // namespace tern::server::test
