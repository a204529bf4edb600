// How the service speaks HTTP: kept-alive and closed connections, HEAD, interim replies, and the
// requests it refuses before reading their bodies.
#include "Dispatcher.h"
#include "ServerFixture.h"

#include <gtest/gtest.h>

namespace tern::server::test {
namespace {

using namespace std::chrono_literals;

class HttpTransport : public ServerFixture
{
protected:
    std::string head11(const std::string& method, const std::string& target, const std::string& fields = "")
    {
        return method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port()) + "\r\n" +
               fields;
    }

    static int countReplies(const std::string& received, const std::string& statusLine)
    {
        int count = 0;
        for (std::size_t at = received.find(statusLine); at != std::string::npos;
             at = received.find(statusLine, at + 1))
            ++count;
        return count;
    }
};

TEST_F(HttpTransport, Http11KeepsTheConnectionAndHttp10ClosesIt)
{
    const std::string check = "/start/check.html?v=1";
    const std::string kept = Exchange(
        port(), head11("GET", check, "\r\n") + head11("GET", "/style.css", "\r\n") +
                    head11("GET", check, "Connection: close\r\n\r\n") + head11("GET", check, "\r\n"));
    EXPECT_EQ(countReplies(kept, "HTTP/1.1 200 OK\r\n"), 3) << kept;

    const std::string closed = Exchange(port(), GetRequest(port(), check) + GetRequest(port(), check));
    EXPECT_EQ(countReplies(closed, "HTTP/1.0 200 OK\r\n"), 1) << closed;
    EXPECT_EQ(ParseReply(closed).header("Connection"), "close");
}

TEST_F(HttpTransport, HeadGivesTheLengthWithoutTheBody)
{
    const RawReply full = get("/help/");
    const RawReply head = SendRaw(port(), "HEAD /help/ HTTP/1.0\r\n\r\n");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), std::to_string(full.body.size()));
    EXPECT_EQ(head.body, "");
}

TEST_F(HttpTransport, BodyFollowsTheInterimContinueReply)
{
    const std::string body = "email=nobody%40example.com";
    RawConnection connection(port());
    ASSERT_TRUE(
        connection.send(head11("POST", "/index.php/auth/validate",
                               "Content-Type: application/x-www-form-urlencoded\r\nExpect: 100-continue\r\n"
                               "Connection: close\r\nContent-Length: " +
                                   std::to_string(body.size()) + "\r\n\r\n")));
    ASSERT_TRUE(connection.readable(5s));
    std::string received;
    while (received.find("\r\n\r\n") == std::string::npos && connection.readable(5s))
        received += connection.readAll(100ms);
    EXPECT_TRUE(received.starts_with("HTTP/1.1 100 Continue\r\n\r\n")) << received;
    ASSERT_TRUE(connection.send(body));
    received += connection.readAll();
    EXPECT_EQ(status(ParseReply(received.substr(received.find("\r\n\r\n") + 4))), "unregistered") << received;
}

TEST_F(HttpTransport, RequestsRefusedBeforeTheirBodiesAreRead)
{
    // Left open without a complete header: stopping the server must not wait for it.
    RawConnection idle(port());
    ASSERT_TRUE(idle.send("GET / HTTP/1.1\r\n"));

    std::string manyFields;
    for (int i = 0; i < 150; ++i)
        manyFields += "X-F" + std::to_string(i) + ": 1\r\n";
    const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
    const struct
    {
        std::string request;
        int status;
        std::string jsonStatus; // empty: an HTML page
    } cases[] = {
        {head11("POST", "/index.php/auth/check",
                form + "Content-Encoding: gzip\r\nContent-Length: 3\r\n\r\nabc"),
         415, "badrequest"},
        {head11("POST", "/index.php/auth/check",
                "Content-Encoding: identity\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"),
         200, "error"},
        {head11("POST", "/index.php/auth/check", "Transfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n"), 501,
         "error"},
        {head11("POST", "/index.php/auth/check", form + "Content-Length: 70000\r\n\r\n"), 413, "toolarge"},
        {head11("POST", "/index.php/auth/check",
                form + "Transfer-Encoding: chunked\r\n\r\n11171\r\n" + std::string(70001, 'x') +
                    "\r\n0\r\n\r\n"),
         413, "toolarge"},
        {head11("POST", "/storage/save.html", "Content-Length: 6000000\r\n\r\n"), 413, "toolarge"},
        {head11("GET", "/", manyFields + "\r\n"), 431, ""},
        {head11("GET", "/" + std::string(20000, 'a'), "\r\n"), 431, ""},
        {"GET / HTTP/1.1\r\nBad Field\r\n\r\n", 400, ""},
        {"BREW /index.php/auth/check HTTP/1.0\r\n\r\n", 400, "badrequest"},
        {"PUT / HTTP/1.0\r\nContent-Length: 0\r\n\r\n", 404, ""},
    };
    for (const auto& c : cases) {
        const RawReply reply = SendRaw(port(), c.request);
        EXPECT_EQ(reply.status, c.status) << c.request.substr(0, 80);
        EXPECT_EQ(reply.header("X-Content-Type-Options"), "nosniff") << c.request.substr(0, 80);
        if (c.jsonStatus.empty())
            EXPECT_EQ(reply.header("Content-Type"), "text/html; charset=utf-8") << c.request.substr(0, 80);
        else
            EXPECT_EQ(status(reply), c.jsonStatus) << c.request.substr(0, 80);
    }
}

class BodyBudget : public HttpTransport
{
protected:
    void adjustOptions(ServerOptions& options) override { options.http.maxBufferedBodyBytes = 150000; }
};

TEST_F(BodyBudget, UploadsBeyondTheBudgetForAllConnectionsWaitTheirTurn)
{
    const std::string fields = "Content-Type: multipart/form-data; boundary=b\r\nConnection: close\r\n";
    // A body this large is awaited only with valid credentials.
    ASSERT_EQ(registerAccount("budget@example.com"), "ok");
    RawConnection first(port());
    ASSERT_TRUE(first.send(head11("POST", "/storage/save.html" + credentials("budget@example.com", kPass),
                                  fields + "Content-Length: 100000\r\n\r\n")));
    ASSERT_FALSE(first.readable(200ms)); // its body is awaited, and its room held

    const RawReply refused =
        SendRaw(port(), head11("POST", "/storage/save.html", fields + "Content-Length: 60000\r\n\r\n") +
                            std::string(60000, 'x'));
    EXPECT_EQ(refused.status, 503);
    EXPECT_EQ(status(refused), "error");

    ASSERT_TRUE(first.send(std::string(100000, 'x')));
    EXPECT_EQ(status(ParseReply(first.readAll())), "badrequest"); // no multipart body
    const RawReply later =
        SendRaw(port(), head11("POST", "/storage/save.html", fields + "Content-Length: 60000\r\n\r\n") +
                            std::string(60000, 'x'));
    EXPECT_EQ(status(later), "denied");
}

TEST(Dispatcher, AccessLineCannotBeSplitByADecodedPath)
{
    const Dispatcher dispatcher(true);
    HttpRequest req;
    req.method = "GET";
    req.path = "/x\n127.0.0.1 GET /forged 200\r";
    req.remote_addr = "127.0.0.1";
    testing::internal::CaptureStderr();
    EXPECT_EQ(dispatcher.answer(req).status, 404);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "127.0.0.1 GET /x?127.0.0.1 GET /forged 200? 404\n");
}

TEST(ServerOptions, TransportLimitsFromTheCommandLine)
{
    const CommandLine set =
        ParseCommandLine({"--header-timeout", "3", "--max-connections", "200", "--threads", "2"}, 12);
    ASSERT_TRUE(set.options);
    EXPECT_EQ(set.options->http.headerTimeout, 3s);
    EXPECT_EQ(set.options->http.maxConnections, 200U);
    EXPECT_EQ(set.options->http.handlerThreads, 2U);
    for (const std::string option : {"--header-timeout", "--max-connections", "--threads"}) {
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
        for (const std::string bad : {"0", "-1", "x", "99999999"})
            EXPECT_EQ(ParseCommandLine({option, bad}, 12).exitCode, 2) << option << " " << bad;
    }
}

} // namespace
} // namespace tern::server::test
