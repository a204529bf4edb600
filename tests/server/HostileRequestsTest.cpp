// Requests meant to tie up or exhaust the service, each sent to a real tern-server process on loopback:
// the service must go on answering others and its memory must stay near where it started.
#include "RawHttp.h"
#include "support/ServerProcess.h"

#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

namespace tern::server::test {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMiB = std::size_t{1024} * 1024;
// What the service may grow by under one of these requests: a few request buffers, far below the
// hundreds of megabytes the requests would cost if they were held whole.
constexpr std::size_t kAllowedGrowth = 48 * kMiB;

class HostileRequests : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_service.address().empty()) << m_service.startLine();
        m_port = m_service.port();
        m_peakAtStart = peakMemory();
        ASSERT_GT(m_peakAtStart, 0U);
    }

    // The most memory the service has held so far (VmHWM).
    std::size_t peakMemory() const
    {
        std::ifstream status("/proc/" + std::to_string(m_service.pid()) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("VmHWM:"))
                return std::stoul(line.substr(6)) * 1024;
        }
        return 0;
    }

    void expectMemoryBounded() const
    {
        EXPECT_LT(peakMemory(), m_peakAtStart + kAllowedGrowth)
            << "peak grew from " << m_peakAtStart / kMiB << " MiB to " << peakMemory() / kMiB << " MiB";
    }

    // A plain request answered promptly: the service is still serving others.
    void expectServing() const
    {
        const auto start = std::chrono::steady_clock::now();
        const RawReply reply = SendRaw(m_port, GetRequest(m_port, "/start/check.html?v=1"));
        EXPECT_EQ(reply.status, 200);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    }

    // Sends `piece` again and again (up to `total` bytes) until the service answers or stops taking
    // them; returns the reply, if any, and how much was sent.
    std::pair<RawReply, std::size_t> pour(RawConnection& connection, const std::string& piece,
                                          std::size_t total)
    {
        std::size_t sent = 0;
        while (sent < total && !connection.readable() && connection.send(piece))
            sent += piece.size();
        return {ParseReply(connection.readAll(5s)), sent};
    }

    static std::string head(const std::string& method, const std::string& target, const std::string& fields)
    {
        return method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + fields;
    }

    tern::test::ServiceProcess m_service{{"--header-timeout", "2"}};
    int m_port = 0;
    std::size_t m_peakAtStart = 0;
};

// 200 MB of zeros as one gzip stream (about 200 KB).
std::string gzipBomb()
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    const std::string zeros(kMiB, '\0');
    std::string out;
    std::vector<unsigned char> buffer(64 * 1024);
    for (int i = 0; i < 200; ++i) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        stream.avail_in = static_cast<uInt>(zeros.size());
        const int flush = i == 199 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = buffer.data();
            stream.avail_out = static_cast<uInt>(buffer.size());
            deflate(&stream, flush);
            out.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

TEST_F(HostileRequests, SlowHeadersNeitherBlockOthersNorOutliveTheirDeadline)
{
    // More connections than a thread-per-connection server has threads, each sending a header line
    // now and then so that no single read ever waits long.
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 16; ++i) {
        slow.push_back(std::make_unique<RawConnection>(m_port));
        ASSERT_TRUE(slow.back()->send(head("GET", "/", "X-Slow: 1\r\n")));
    }
    expectServing();

    const auto start = std::chrono::steady_clock::now();
    std::size_t open = slow.size();
    while (open > 0 && std::chrono::steady_clock::now() - start < 8s) {
        open = 0;
        for (auto& connection : slow) {
            if (!connection->closedWithin(0ms) && connection->send("X-Slow: 1\r\n"))
                ++open;
        }
        std::this_thread::sleep_for(250ms); // the pace of the slow client itself
    }
    EXPECT_EQ(open, 0U) << "connections still open after 8 s with a 2 s header deadline";
    expectServing();
}

TEST_F(HostileRequests, ChunkedUploadIsCutOffAtTheBodyLimit)
{
    RawConnection connection(m_port);
    ASSERT_TRUE(connection.send(head("POST", "/storage/save.html",
                                     "Content-Type: multipart/form-data; boundary=b\r\n"
                                     "Transfer-Encoding: chunked\r\n\r\n")));
    std::string chunk = "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
    const auto [reply, sent] = pour(connection, chunk, 300 * kMiB);
    EXPECT_LT(sent, 64 * kMiB) << "the service kept reading a body far beyond its limit";
    // Cut off at the limit, or refused for its missing credentials before any of it was read.
    const bool denied = reply.status == 200 && reply.body == R"({"status":"denied"})";
    EXPECT_TRUE(reply.status == 0 || reply.status == 413 || denied) << reply.status << " " << reply.body;
    expectMemoryBounded();
    expectServing();
}

TEST_F(HostileRequests, CompressedBodyIsRefusedUninflated)
{
    const std::string bomb = gzipBomb();
    ASSERT_LT(bomb.size(), kMiB);
    const RawReply reply =
        SendRaw(m_port, head("POST", "/storage/save.html?email=a%40b.c&pass=x",
                             "Content-Type: multipart/form-data; boundary=b\r\nContent-Encoding: gzip\r\n"
                             "Content-Length: " +
                                 std::to_string(bomb.size()) + "\r\nConnection: close\r\n\r\n") +
                            bomb);
    EXPECT_EQ(reply.status, 415);
    expectMemoryBounded();
    expectServing();
}

TEST_F(HostileRequests, EndlessHeadersAreRefusedEarly)
{
    RawConnection connection(m_port);
    ASSERT_TRUE(connection.send(head("GET", "/", "")));
    const auto [reply, sent] =
        pour(connection, "X-Padding: " + std::string(1024, 'p') + "\r\n", 100000 * 1036);
    EXPECT_LT(sent, 16 * kMiB) << "the service kept reading headers far beyond its limit";
    EXPECT_EQ(reply.status, 431);
    expectMemoryBounded();
    expectServing();
}

} // namespace
} // namespace tern::server::test
