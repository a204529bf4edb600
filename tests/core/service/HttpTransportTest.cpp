#include "service/HttpTransport.h"

#include "service/ServiceProtocol.h"
#include "support/RecordingHttpServer.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <future>
#include <map>
#include <thread>
#include <vector>

namespace tern {
namespace {

using test::RecordingHttpServer;
using namespace std::chrono_literals;

// The system's transport (libcurl or WinHTTP): the same tests hold for every one.
std::unique_ptr<HttpTransport> transportWith(std::chrono::milliseconds timeout,
                                             size_t maxReplyBytes = 1 << 24)
{
    return CreateHttpTransport({}, timeout, maxReplyBytes);
}

// A recorded request taken apart. The HTTP libraries order their headers and add ones of their own
// (Accept, Connection) as they like; the request line, the headers the program sets and the body are
// what the service relies on.
struct SeenRequest
{
    std::string line;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

SeenRequest parse(const std::string& raw)
{
    SeenRequest seen;
    const size_t headEnd = raw.find("\r\n\r\n");
    EXPECT_NE(headEnd, std::string::npos) << raw;
    if (headEnd == std::string::npos)
        return seen;
    seen.body = raw.substr(headEnd + 4);
    size_t at = raw.find("\r\n");
    seen.line = raw.substr(0, at);
    while (at < headEnd) {
        const size_t next = raw.find("\r\n", at + 2);
        const std::string header = raw.substr(at + 2, next - at - 2);
        const size_t colon = header.find(':');
        std::string name = header.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        seen.headers[name] = header.substr(header.find_first_not_of(' ', colon + 1));
        at = next;
    }
    return seen;
}

// The request line and the headers every request carries.
void expectRequest(const SeenRequest& seen, const std::string& line, std::uint16_t port)
{
    EXPECT_EQ(seen.line, line);
    EXPECT_EQ(seen.headers.count("host") ? seen.headers.at("host") : "", "127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(seen.headers.count("user-agent") ? seen.headers.at("user-agent") : "",
              "Mozilla/4.0 (compatible; Synapse)");
}

std::string header(const SeenRequest& seen, const std::string& name)
{
    const auto found = seen.headers.find(name);
    return found == seen.headers.end() ? "(none)" : found->second;
}

TEST(HttpTransportTest, FormPostIsSentByteForByte)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "{\"status\":\"ok\"}"));
    const auto transport = transportWith(5s);
    const std::string body = CredentialsBody("a_b+c@d e", "0123456789abcdef0123456789abcdef");

    const auto reply = transport->post(AuthServiceUrl(server.base(), kCheckPath), kFormContentType, body);

    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "{\"status\":\"ok\"}");
    ASSERT_EQ(server.requests().size(), 1u);
    const SeenRequest seen = parse(server.requests()[0]);
    expectRequest(seen, "POST /index.php/auth/check HTTP/1.0", server.port());
    EXPECT_EQ(header(seen, "content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(header(seen, "content-length"), std::to_string(body.size()));
    EXPECT_EQ(seen.body, "email=a%5Fb%2Bc%40d%20e&pass=0123456789abcdef0123456789abcdef");
}

TEST(HttpTransportTest, MultipartPostCarriesTheBinaryPayloadUnchanged)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "{}"));
    const auto transport = transportWith(5s);
    const std::string payload("\0\r\n--\xff\x01 binary", 14);
    const MultipartBody request = BuildMultipartBody(payload, [] { return 0x1234ABCDu; });
    const std::string url = SaveUrl(server.base(), "x@y.z", "0123456789abcdef0123456789abcdef");

    ASSERT_TRUE(transport->post(url, request.contentType, request.body));

    ASSERT_EQ(server.requests().size(), 1u);
    const SeenRequest seen = parse(server.requests()[0]);
    expectRequest(seen,
                  "POST /storage/save.html?email=x%40y.z&pass=0123456789abcdef0123456789abcdef HTTP/1.0",
                  server.port());
    EXPECT_EQ(header(seen, "content-type"), "multipart/form-data; boundary=1234ABCD_Synapse_boundary");
    EXPECT_EQ(header(seen, "content-length"), std::to_string(request.body.size()));
    EXPECT_EQ(seen.body, "--1234ABCD_Synapse_boundary\r\n"
                         "content-disposition: form-data; name=\"data\"; filename=\"clpdata.gif\"\r\n"
                         "Content-Type: Application/octet-string\r\n\r\n" +
                             payload + "\r\n--1234ABCD_Synapse_boundary--\r\n");
}

TEST(HttpTransportTest, GetSendsNoBodyAndNoContentHeaders)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "uptodate\r\n", "text/plain"));
    const auto transport = transportWith(5s);

    const auto reply = transport->get(UpdateCheckUrl(server.base(), 22));

    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "uptodate\r\n");
    ASSERT_EQ(server.requests().size(), 1u);
    const SeenRequest seen = parse(server.requests()[0]);
    expectRequest(seen, "GET /start/check.html?v=22 HTTP/1.0", server.port());
    EXPECT_EQ(header(seen, "content-type"), "(none)");
    EXPECT_EQ(seen.body, "");
}

TEST(HttpTransportTest, TheStatusCodeIsIgnored)
{
    for (const char* status : {"404 Not Found", "500 Internal Server Error", "302 Found"}) {
        SCOPED_TRACE(status);
        RecordingHttpServer server(RecordingHttpServer::Response(status, "{\"status\":\"error\"}"));
        const auto reply = transportWith(5s)->get(server.base() + "/storage/read.html");
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, "{\"status\":\"error\"}");
    }
}

TEST(HttpTransportTest, ConsecutiveRequestsOnOneTransportGetTheirOwnReplies)
{
    // The server answers each request with its own request line.
    RecordingHttpServer server([](const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        return RecordingHttpServer::Response("200 OK", line, "text/plain");
    });
    const auto transport = transportWith(5s);

    const auto first = transport->get(server.base() + "/one");
    const auto second = transport->get(server.base() + "/two");

    EXPECT_EQ(*first, "GET /one HTTP/1.0");
    EXPECT_EQ(*second, "GET /two HTTP/1.0");
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(HttpTransportTest, RedirectsAreNotFollowed)
{
    RecordingHttpServer server("HTTP/1.0 301 Moved\r\nLocation: /elsewhere\r\nContent-Length: 4\r\n\r\nmove");
    const auto reply = transportWith(5s)->get(server.base() + "/start/check.html?v=1");
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "move");
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(HttpTransportTest, NoResponseSaysWhyNoneCame)
{
    {
        RecordingHttpServer server("", RecordingHttpServer::Behaviour::Close);
        EXPECT_EQ(transportWith(5s)->get(server.base() + "/x").failure, HttpFailure::NoConnection);
    }
    {
        RecordingHttpServer server("", RecordingHttpServer::Behaviour::NeverAnswer);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(transportWith(1s)->post(server.base() + "/x", kFormContentType, "email=a").failure,
                  HttpFailure::TimedOut);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    }
    {
        // The connection ends before the announced body is complete.
        RecordingHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nshort");
        EXPECT_EQ(transportWith(5s)->get(server.base() + "/x").failure, HttpFailure::NoConnection);
    }
    {
        // Nothing listens on the port of a server that has gone.
        std::string base;
        {
            RecordingHttpServer gone("");
            base = gone.base();
        }
        EXPECT_EQ(transportWith(5s)->get(base + "/x").failure, HttpFailure::NoConnection);
    }
    {
        // An error status is a response like any other, and says what it was.
        RecordingHttpServer server(RecordingHttpServer::Response("503 Service Unavailable", ""));
        const HttpReply reply = transportWith(5s)->get(server.base() + "/x");
        EXPECT_TRUE(reply.arrived());
        EXPECT_FALSE(reply.succeeded());
        EXPECT_EQ(reply.status, 503);
    }
    // Only plain http is spoken.
    EXPECT_FALSE(transportWith(1s)->get("file:///etc/hostname"));
}

TEST(HttpTransportTest, TheTimeOutHoldsForTheWholeExchangeNotForEachPause)
{
    // A byte every 100 ms for about 8 seconds: no pause ever reaches the time-out.
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", std::string(40, 'x')),
                               RecordingHttpServer::Behaviour::Trickle);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(transportWith(1s)->get(server.base() + "/x"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST(HttpTransportTest, AbortEndsRunningAndLaterExchangesAtOnce)
{
    RecordingHttpServer server("", RecordingHttpServer::Behaviour::NeverAnswer);
    const auto transport = transportWith(60s);
    struct Case
    {
        const char* name;
        std::function<HttpReply()> exchange;
    };
    const Case cases[] = {
        {"get", [&] { return transport->get(server.base() + "/start/check.html?v=1"); }},
        {"post", [&] { return transport->post(server.base() + "/x", kFormContentType, "email=a"); }},
    };
    std::vector<std::future<HttpReply>> running;
    for (const Case& entry : cases)
        running.push_back(std::async(std::launch::async, entry.exchange));
    // The server takes one connection at a time: the first exchange is surely under way once it has
    // been recorded; the second waits for its connection to be accepted.
    const auto recorded = std::chrono::steady_clock::now() + 10s;
    while (server.requests().empty() && std::chrono::steady_clock::now() < recorded)
        std::this_thread::yield();
    ASSERT_EQ(server.requests().size(), 1u);

    const auto abortedAt = std::chrono::steady_clock::now();
    transport->abortTransfers();
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

TEST(HttpTransportTest, AnOversizedBodyIsNoResponse)
{
    const std::string body(1000, 'x');
    {
        RecordingHttpServer server(RecordingHttpServer::Response("200 OK", body));
        EXPECT_TRUE(transportWith(5s, 1000)->get(server.base() + "/x"));
    }
    {
        RecordingHttpServer server(RecordingHttpServer::Response("200 OK", body + "y"));
        EXPECT_EQ(transportWith(5s, 1000)->get(server.base() + "/x").failure, HttpFailure::ReplyTooLarge);
    }
    {
        // Without a Content-Length the limit applies while the body arrives.
        RecordingHttpServer server("HTTP/1.0 200 OK\r\n\r\n" + body + "y");
        EXPECT_EQ(transportWith(5s, 1000)->get(server.base() + "/x").failure, HttpFailure::ReplyTooLarge);
    }
}

TEST(HttpTransportTest, AProxyFromTheEnvironmentIsNotUsed)
{
    RecordingHttpServer server(RecordingHttpServer::Response("200 OK", "direct"));
    HttpReply reply;
    {
        const test::ScopedEnv lower("http_proxy", "http://127.0.0.1:9");
        const test::ScopedEnv upper("HTTP_PROXY", "http://127.0.0.1:9");
        reply = transportWith(5s)->get(server.base() + "/x");
    }
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, "direct");
}

} // namespace
} // namespace tern
