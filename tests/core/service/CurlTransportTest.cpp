#include "service/CurlTransport.h"

#include "service/ServiceProtocol.h"
#include "support/RecordingHttpServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <future>
#include <thread>
#include <vector>

namespace tern {
namespace {

using test::RecordingHttpServer;
using namespace std::chrono_literals;

std::string head(const std::string& requestLine, const std::string& port, const std::string& extra = "")
{
    return requestLine + "\r\nHost: 127.0.0.1:" + port +
           "\r\nUser-Agent: Mozilla/4.0 (compatible; Synapse)\r\nAccept: */*\r\n" + extra + "\r\n";
}

TEST(CurlTransportTest, FormPostIsSentByteForByte)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "{\"status\":\"ok\"}"));
    CurlTransport transport(5s);
    const std::string body = CredentialsBody("a_b+c@d e", "0123456789abcdef0123456789abcdef");

    const auto reply = transport.post(AuthServiceUrl(server.base(), kCheckPath), kFormContentType, body);

    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "{\"status\":\"ok\"}");
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string port = std::to_string(server.port());
    EXPECT_EQ(server.requests()[0],
              head("POST /index.php/auth/check HTTP/1.0", port,
                   "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\n") +
                  "email=a%5Fb%2Bc%40d%20e&pass=0123456789abcdef0123456789abcdef");
}

TEST(CurlTransportTest, MultipartPostCarriesTheBinaryPayloadUnchanged)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "{}"));
    CurlTransport transport(5s);
    const std::string payload("\0\r\n--\xff\x01 binary", 14);
    const MultipartBody request = BuildMultipartBody(payload, [] { return 0x1234ABCDu; });
    const std::string url = SaveUrl(server.base(), "x@y.z", "0123456789abcdef0123456789abcdef");

    ASSERT_TRUE(transport.post(url, request.contentType, request.body));

    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              head("POST /storage/save.html?email=x%40y.z&pass=0123456789abcdef0123456789abcdef HTTP/1.0",
                   std::to_string(server.port()),
                   "Content-Type: multipart/form-data; boundary=1234ABCD_Synapse_boundary\r\n"
                   "Content-Length: " +
                       std::to_string(request.body.size()) + "\r\n") +
                  "--1234ABCD_Synapse_boundary\r\n"
                  "content-disposition: form-data; name=\"data\"; filename=\"clpdata.gif\"\r\n"
                  "Content-Type: Application/octet-string\r\n\r\n" +
                  payload + "\r\n--1234ABCD_Synapse_boundary--\r\n");
}

TEST(CurlTransportTest, GetSendsNoBodyAndNoContentHeaders)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "uptodate\r\n", "text/plain"));
    CurlTransport transport(5s);

    const auto reply = transport.get(UpdateCheckUrl(server.base(), 22));

    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "uptodate\r\n");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              head("GET /start/check.html?v=22 HTTP/1.0", std::to_string(server.port())));
}

TEST(CurlTransportTest, TheStatusCodeIsIgnored)
{
    for (const char* status : {"404 Not Found", "500 Internal Server Error", "302 Found"}) {
        SCOPED_TRACE(status);
        RecordingHttpServer server(RecordingHttpServer::Response(status, "{\"status\":\"error\"}"));
        CurlTransport transport(5s);
        const auto reply = transport.get(server.base() + "/storage/read.html");
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, "{\"status\":\"error\"}");
    }
}

TEST(CurlTransportTest, ConsecutiveRequestsOnOneTransportGetTheirOwnReplies)
{
    // The server answers each request with its own request line.
    RecordingHttpServer server([](const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        return RecordingHttpServer::Response("200 OK", line, "text/plain");
    });
    CurlTransport transport(5s);

    const auto first = transport.get(server.base() + "/one");
    const auto second = transport.get(server.base() + "/two");

    EXPECT_EQ(first, "GET /one HTTP/1.0");
    EXPECT_EQ(second, "GET /two HTTP/1.0");
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(CurlTransportTest, RedirectsAreNotFollowed)
{
    RecordingHttpServer server("HTTP/1.0 301 Moved\r\nLocation: /elsewhere\r\nContent-Length: 4\r\n\r\nmove");
    CurlTransport transport(5s);
    const auto reply = transport.get(server.base() + "/start/check.html?v=1");
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "move");
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(CurlTransportTest, NoResponseGivesNothing)
{
    {
        RecordingHttpServer server("", RecordingHttpServer::Behaviour::Close);
        EXPECT_FALSE(CurlTransport(5s).get(server.base() + "/x"));
    }
    {
        RecordingHttpServer server("", RecordingHttpServer::Behaviour::NeverAnswer);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(CurlTransport(1s).post(server.base() + "/x", kFormContentType, "email=a"));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    }
    {
        // Nothing listens on the port of a server that has gone.
        std::string base;
        {
            RecordingHttpServer gone("");
            base = gone.base();
        }
        EXPECT_FALSE(CurlTransport(5s).get(base + "/x"));
    }
    // Only plain http is spoken.
    EXPECT_FALSE(CurlTransport(1s).get("file:///etc/hostname"));
}

TEST(CurlTransportTest, TheTimeOutHoldsForTheWholeExchangeNotForEachPause)
{
    // A byte every 100 ms for about 8 seconds: no pause ever reaches the time-out.
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", std::string(40, 'x')),
                               RecordingHttpServer::Behaviour::Trickle);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CurlTransport(1s).get(server.base() + "/x"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST(CurlTransportTest, AbortEndsRunningAndLaterExchangesAtOnce)
{
    RecordingHttpServer server("", RecordingHttpServer::Behaviour::NeverAnswer);
    CurlTransport transport(60s);
    struct Case
    {
        const char* name;
        std::function<std::optional<std::string>()> exchange;
    };
    const Case cases[] = {
        {"get", [&] { return transport.get(server.base() + "/start/check.html?v=1"); }},
        {"post", [&] { return transport.post(server.base() + "/x", kFormContentType, "email=a"); }},
    };
    std::vector<std::future<std::optional<std::string>>> running;
    for (const Case& entry : cases)
        running.push_back(std::async(std::launch::async, entry.exchange));
    // The server takes one connection at a time: the first exchange is surely under way once it has
    // been recorded; the second waits for its connection to be accepted.
    const auto recorded = std::chrono::steady_clock::now() + 10s;
    while (server.requests().empty() && std::chrono::steady_clock::now() < recorded)
        std::this_thread::yield();
    ASSERT_EQ(server.requests().size(), 1u);

    const auto abortedAt = std::chrono::steady_clock::now();
    transport.abortTransfers();
    for (size_t i = 0; i < running.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_EQ(running[i].wait_until(abortedAt + 2s), std::future_status::ready);
        EXPECT_FALSE(running[i].get());
    }
    const auto laterAt = std::chrono::steady_clock::now();
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_FALSE(entry.exchange()) << "an exchange after the abort";
    }
    EXPECT_LT(std::chrono::steady_clock::now() - laterAt, 2s);
}

TEST(CurlTransportTest, AnOversizedBodyIsNoResponse)
{
    const std::string body(1000, 'x');
    {
        RecordingHttpServer server(RecordingHttpServer::Response("200 OK", body));
        EXPECT_TRUE(CurlTransport(5s, 1000).get(server.base() + "/x"));
    }
    {
        RecordingHttpServer server(RecordingHttpServer::Response("200 OK", body + "y"));
        EXPECT_FALSE(CurlTransport(5s, 1000).get(server.base() + "/x"));
    }
    {
        // Without a Content-Length the limit applies while the body arrives.
        RecordingHttpServer server("HTTP/1.0 200 OK\r\n\r\n" + body + "y");
        EXPECT_FALSE(CurlTransport(5s, 1000).get(server.base() + "/x"));
    }
}

TEST(CurlTransportTest, AProxyFromTheEnvironmentIsNotUsed)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "direct"));
    ::setenv("http_proxy", "http://127.0.0.1:9", 1);
    ::setenv("HTTP_PROXY", "http://127.0.0.1:9", 1);
    const auto reply = CurlTransport(5s).get(server.base() + "/x");
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "direct");
}

} // namespace
} // namespace tern
