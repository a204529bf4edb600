// What keeps one client from starving the others: credentials before large bodies, a share of the
// body memory and of the connections per address (an IPv6 client by its /64), the cut of the longest
// waiting connection when every slot is taken, and the Unix socket a proxy reaches the service on.
#include "AccountRemoval.h"
#include "Dispatcher.h"
#include "ServerFixture.h"
#include "http/AddressGroup.h"
#include "http/ListenError.h"

#include <cerrno>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace tern::server::test {
namespace {

using namespace std::chrono_literals;

const std::string kOwner = "owner@example.com";

std::string uploadHead(const std::string& target, std::size_t declared)
{
    return "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
           "Content-Type: multipart/form-data; boundary=b\r\nContent-Length: " + std::to_string(declared) +
           "\r\n\r\n";
}

class AbuseLimits : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.http.maxBufferedBodyBytesPerAddress = 150000;
        options.http.maxConnectionsPerAddress = 5;
        options.http.maxConnections = 6;
        options.registrationsPerAddress.maxEvents = 50;
    }
};

TEST_F(AbuseLimits, LargeBodiesWaitForCredentialsAndAShareOfTheMemoryPerAddress)
{
    ASSERT_EQ(registerAccount(kOwner), "ok");
    // Without valid credentials the upload is refused on its head, its five megabytes never awaited.
    for (const std::string& query : {std::string(), credentials(kOwner, kOtherPass)}) {
        RawConnection refused(port(), "127.0.0.2");
        ASSERT_TRUE(refused.send(uploadHead("/storage/save.html" + query, 5000000) + "x"));
        ASSERT_TRUE(refused.readable(5s)) << query;
        EXPECT_EQ(status(ParseReply(refused.readAll(2s))), "denied") << query;
    }
    // With them the body is awaited and its room held; one address holds no more than its share.
    const std::string save = "/storage/save.html" + credentials(kOwner, kPass);
    RawConnection held(port(), "127.0.0.2");
    ASSERT_TRUE(held.send(uploadHead(save, 100000)));
    EXPECT_FALSE(held.readable(300ms));
    RawConnection sameAddress(port(), "127.0.0.2");
    ASSERT_TRUE(sameAddress.send(uploadHead(save, 60000)));
    ASSERT_TRUE(sameAddress.readable(5s));
    const RawReply full = ParseReply(sameAddress.readAll(2s));
    EXPECT_EQ(full.status, 503);
    EXPECT_EQ(status(full), "error");
    RawConnection otherAddress(port(), "127.0.0.3");
    ASSERT_TRUE(otherAddress.send(uploadHead(save, 60000)));
    EXPECT_FALSE(otherAddress.readable(300ms));
}

TEST_F(AbuseLimits, OneAddressCannotTakeEveryConnection)
{
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 5; ++i) {
        idle.push_back(std::make_unique<RawConnection>(port(), "127.0.0.2"));
        ASSERT_TRUE(idle.back()->send("GET / HTTP/1.1\r\n")); // accepted in this order
    }
    RawConnection overCap(port(), "127.0.0.2");
    EXPECT_TRUE(overCap.closedWithin(5s));
    RawConnection other(port(), "127.0.0.3");
    ASSERT_TRUE(other.send("GET / HTTP/1.1\r\n"));
    EXPECT_FALSE(other.readable(200ms));

    // Every slot is taken: a newcomer from a third address is served, and the address holding the
    // most gives up the connection that has waited longest.
    EXPECT_EQ(get("/start/check.html?v=20", "127.0.0.4").status, 200);
    EXPECT_TRUE(idle.front()->closedWithin(5s));
    for (std::size_t i = 1; i < idle.size(); ++i)
        EXPECT_FALSE(idle[i]->readable(0ms)) << i;
    EXPECT_FALSE(other.readable(0ms));
}

// Counted per /64 behind a trusted proxy: each IPv6 address of one network is the same client.
class ProxiedIpv6 : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.trustedProxies = {"127.0.0.1"};
        options.failedLoginsPerAddress = {10, std::chrono::hours(1), std::chrono::hours(1),
                                          std::chrono::hours(1)};
        options.failedLoginsPerAccountAddress = options.failedLoginsPerAddress;
        options.verifiedCredentialLifetime = std::chrono::seconds(0);
    }

    // The message of a failed sign-in that the proxy says came from `client`.
    std::string messageFor(const std::string& client, const std::string& email)
    {
        const std::string body = "email=" + FormValue(email) + "&pass=" + kOtherPass;
        const std::string request = "POST /index.php/auth/check HTTP/1.0\r\nX-Forwarded-For: " + client +
                                    "\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                                    "Content-Length: " +
                                    std::to_string(body.size()) + "\r\n\r\n" + body;
        return json(SendRaw(port(), request, "127.0.0.1")).value("message", "");
    }
};

TEST_F(ProxiedIpv6, FailedLoginsOfOneSlash64CountTogether)
{
    const std::string wrong = "Wrong e-mail address or password.";
    int checked = 0;
    for (int i = 1; i <= 15; ++i) {
        const std::string client = "2001:db8:5:6:" + std::to_string(i) + "::1";
        checked += messageFor(client, "u" + std::to_string(i) + "@example.com") == wrong ? 1 : 0;
    }
    EXPECT_EQ(checked, 10);
    EXPECT_EQ(messageFor("2001:db8:5:7::1", "u1@example.com"), wrong);
}

TEST(AddressGroup, Ipv6ByItsSlash64AndEverythingElseAsItIs)
{
    const std::pair<std::string, std::string> cases[] = {
        {"192.0.2.7", "192.0.2.7"},
        {"::ffff:192.0.2.7", "192.0.2.7"},
        {"2001:db8:1:2:3:4:5:6", "2001:db8:1:2::/64"},
        {"2001:DB8:1:2::ffff", "2001:db8:1:2::/64"},
        {"2001:db8::1", "2001:db8::/64"},
        {"::1", "::/64"},
        {"unix", "unix"},
        {"", ""},
    };
    for (const auto& [address, group] : cases)
        EXPECT_EQ(AddressGroup(address), group) << address;
}

// Behind a proxy on this computer: the service listens on a Unix socket and believes whoever
// connects there about the client's address.
class UnixSocketService : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.unixSocket = options.dataDir + "-tern.sock";
        options.trustedProxies = {"unix"};
    }

    std::string registerVia(const std::string& client, int n)
    {
        const std::string body =
            "email=" + FormValue("p" + std::to_string(n) + "@example.com") + "&pass=" + kPass;
        RawConnection connection(UnixSocket{options().unixSocket});
        connection.send("POST /index.php/auth/register HTTP/1.0\r\nX-Forwarded-For: " + client +
                        "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\n\r\n" + body);
        return status(ParseReply(connection.readAll()));
    }
};

TEST_F(UnixSocketService, CountsTheClientTheProxyNames)
{
    struct stat socket
    {
    };
    ASSERT_EQ(::stat(options().unixSocket.c_str(), &socket), 0);
    EXPECT_TRUE(S_ISSOCK(socket.st_mode));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(registerVia("192.0.2.1", i), "ok") << i;
    EXPECT_EQ(registerVia("192.0.2.1", 5), "error");
    EXPECT_EQ(registerVia("192.0.2.2", 6), "ok");

    // A second server on the same socket says why it cannot start.
    TernServer second(options());
    try {
        second.bind();
        ADD_FAILURE() << "a second server took the socket";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("another server listens"), std::string::npos) << e.what();
    }
}

TEST_F(AbuseLimits, PortInUseSaysWhyAndWhatToDo)
{
    Dispatcher dispatcher(false);
    HttpServer second(dispatcher, HttpLimits{});
    try {
        second.bind("127.0.0.1", port());
        ADD_FAILURE() << "bound a port in use";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("in use"), std::string::npos) << text;
        EXPECT_NE(text.find("--listen"), std::string::npos) << text;
    }
    const std::string denied = ListenErrorText("0.0.0.0:80", EACCES);
    EXPECT_NE(denied.find("permission denied: ports below 1024"), std::string::npos) << denied;
    EXPECT_NE(denied.find("CAP_NET_BIND_SERVICE"), std::string::npos) << denied;
}

TEST(Dispatcher, AFailingHandlerAnswersInTheFormOfItsPath)
{
    Dispatcher dispatcher(false);
    const auto fail = [](const HttpRequest&, HttpResponse&) { throw std::runtime_error("disk full"); };
    dispatcher.router().Post("/index.php/auth/check", fail);
    dispatcher.router().Post("/storage/save.html", fail);
    dispatcher.router().Get("/help/", fail);
    const struct
    {
        std::string method, path, contentType, bodyStart;
    } cases[] = {
        {"POST", "/index.php/auth/check", "application/json", R"({"status":"error"})"},
        {"POST", "/storage/save.html", "application/json", R"({"status":"error"})"},
        {"GET", "/help/", "text/html; charset=utf-8", "<!DOCTYPE html>"},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases) {
        HttpRequest req;
        req.method = c.method;
        req.path = c.path;
        const HttpResponse res = dispatcher.answer(req);
        EXPECT_EQ(res.status, 500) << c.path;
        const auto type = res.headers.find("Content-Type");
        EXPECT_EQ(type == res.headers.end() ? "" : type->second, c.contentType) << c.path;
        EXPECT_TRUE(res.body.starts_with(c.bodyStart)) << c.path << ": " << res.body;
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(AbuseLimits, DeletingAnAccountRemovesEverythingItOwnsAndNothingElse)
{
    ASSERT_EQ(registerAccount(kOwner), "ok");
    ASSERT_EQ(registerAccount("keep@example.com"), "ok");
    for (const std::string& email : {kOwner, std::string("keep@example.com")}) {
        ASSERT_EQ(status(upload("/storage/save.html" + credentials(email, kPass), Snapshot(1, 3))), "ok");
        ASSERT_EQ(status(upload("/storage/share.html" + credentials(email, kPass) + "&tp=1", "shared")),
                  "ok");
    }
    EXPECT_EQ(authStatus("check", kOwner, kOtherPass, "127.0.0.5"), "error"); // a failure counter

    const AccountRemovalResult removed = DeleteAccount(options(), "Owner@Example.com");
    EXPECT_EQ(removed.exitCode, 0) << removed.message;
    EXPECT_NE(removed.message.find("1 share"), std::string::npos) << removed.message;
    const auto store = openStore();
    for (const std::string table : {"accounts", "snapshots", "shares"})
        EXPECT_EQ(store->run("SELECT count(*) FROM " + table)[0][0].integer, 1) << table;
    EXPECT_EQ(store->run("SELECT count(*) FROM limits WHERE bucket LIKE '%owner@%'")[0][0].integer, 0);
    // The server that had just accepted the account's credentials refuses them now.
    EXPECT_EQ(status(upload("/storage/save.html" + credentials(kOwner, kPass), Snapshot(1, 3))), "denied");
    EXPECT_EQ(DeleteAccount(options(), kOwner).exitCode, 1);
    EXPECT_EQ(authStatus("check", "keep@example.com", kPass), "ok");
}

} // namespace
} // namespace tern::server::test
