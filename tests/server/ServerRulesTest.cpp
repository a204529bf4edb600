#include "AccessKeys.h"
#include "AccountRules.h"
#include "ForwardedClient.h"
#include "Pages.h"
#include "ServerFixture.h"
#include "ServerOptions.h"
#include "SharedItems.h"
#include "service/ByteOrder.h"
#include "service/ECLMemoryStream.h"

#include <set>

namespace tern::server::test {
namespace {

TEST(AccountRules, PasswordValueIsExactly32LowerCaseHexDigits)
{
    const struct
    {
        std::string value;
        bool accepted;
    } cases[] = {
        {kPass, true},
        {"00000000000000000000000000000000", true},
        {"5F4DCC3B5AA765D61D8327DEB882CF99", false},  // upper case
        {"5f4dcc3b5aa765d61d8327deb882cf9", false},   // 31
        {"5f4dcc3b5aa765d61d8327deb882cf990", false}, // 33
        {"5f4dcc3b5aa765d61d8327deb882cfzz", false},
        {"secret", false},
        {"", false},
        {std::string("5f4dcc3b5aa765d61d8327deb882cf9\0", 32), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPasswordValue(c.value), c.accepted) << c.value;
}

TEST(AccountRules, AcceptableEmails)
{
    const struct
    {
        std::string email;
        bool accepted;
    } cases[] = {
        {"user@example.com", true},
        {"first.last+tag_x@mail.example.org", true},
        {"a@b.co", true},
        {"", false},
        {"user", false},
        {"user@localhost", false},
        {"@example.com", false},
        {"user@@example.com", false},
        {"us er@example.com", false},
        {"user@exa mple.com", false},
        {"<script>@example.com", false},
        {"user@example..com", false},
        {".user@example.com", false},
        {"user@-example.com", false},
        {std::string(65, 'a') + "@example.com", false},
        {"user@" + std::string(250, 'a') + ".com", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAcceptableEmail(c.email), c.accepted) << c.email;
}

TEST(SharedItems, ShareKindAndPayloadSignatures)
{
    EXPECT_EQ(ParseShareKind("1"), ShareKind::Text);
    EXPECT_EQ(ParseShareKind("3"), ShareKind::Png);
    for (const char* bad : {"", "4", "-1", "01", "1x", " 1"})
        EXPECT_FALSE(ParseShareKind(bad)) << bad;

    const std::string png = "\x89PNG\r\n\x1A\nrest";
    const std::string jpeg = "\xFF\xD8\xFF\xE0rest";
    EXPECT_TRUE(PayloadMatchesKind(ShareKind::Png, png));
    EXPECT_TRUE(PayloadMatchesKind(ShareKind::Jpeg, jpeg));
    EXPECT_FALSE(PayloadMatchesKind(ShareKind::Png, jpeg));
    EXPECT_FALSE(PayloadMatchesKind(ShareKind::Jpeg, "<html><script>"));
    EXPECT_FALSE(PayloadMatchesKind(ShareKind::Jpeg, "\xFF\xD8"));
    EXPECT_TRUE(PayloadMatchesKind(ShareKind::Text, "<html>"));
    EXPECT_FALSE(PayloadMatchesKind(ShareKind::Nothing, ""));
}

TEST(SharedItems, SnapshotStreamStructure)
{
    const std::string one = Snapshot(1, 130);
    const struct
    {
        std::string bytes;
        bool wellFormed;
    } cases[] = {
        {std::string(4, '\0'), true},
        {one, true},
        {Snapshot(3, 0), true},
        {"", false},
        {std::string(3, '\0'), false},
        {one.substr(0, one.size() - 1), false},                               // ends inside the record
        {one + "x", false},                                                   // bytes after the last record
        {std::string("\xFF\xFF\xFF\xFF", 4), false},                          // negative count
        {std::string("\x01\0\0\0\x01\x0D\0\0\0\xFF\xFF\xFF\xFF", 13), false}, // negative length
        {std::string("\xFF\xFF\xFF\x7F", 4), false},                          // a huge count with no records
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(IsSnapshotStream(cases[i].bytes), cases[i].wellFormed) << "case " << i;
}

TEST(SharedItems, SnapshotsNoClientCouldRestoreAreRefused)
{
    auto container = [](std::size_t plainBytes) {
        TECLMemoryStream stream(kPass);
        stream.Write(0, std::string(plainBytes, 'z'));
        return stream.Storage();
    };
    auto snapshotOf = [](std::uint32_t count, const std::string& storage) {
        std::string bytes(4, '\0');
        PutLe32(bytes.data(), count);
        for (std::uint32_t i = 0; i < count; ++i) {
            bytes += '\x01';
            bytes += std::string("\x0D\0\0\0", 4);
            std::string length(4, '\0');
            PutLe32(length.data(), static_cast<std::uint32_t>(storage.size()));
            bytes += length + storage;
        }
        return bytes;
    };
    const struct
    {
        const char* what;
        std::string bytes;
        bool accepted;
    } cases[] = {
        {"records of plain bytes", Snapshot(3, 130), true},
        {"a format of exactly 5,000,000 bytes", snapshotOf(1, container(5'000'000)), true},
        {"a format of 5,000,001 bytes", snapshotOf(2, container(5'000'001)), false},
        {"1,024 records", snapshotOf(1024, ""), true},
        {"1,025 records", snapshotOf(1025, ""), false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(IsSnapshotStream(c.bytes)) << c.what;
        EXPECT_EQ(SnapshotWithinClientLimits(c.bytes), c.accepted) << c.what;
    }
}

TEST(SharedItems, ShareTextForDisplay)
{
    const struct
    {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {std::string("abc\0", 4), "abc"},
        {std::string("abc\0junk after", 14), "abc"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        // U+1F600 as the client writes it: two 3-byte surrogate halves.
        {"\xED\xA0\xBD\xED\xB8\x80!", "\xF0\x9F\x98\x80!"},
        {"\xED\xA0\xBDx", "\xEF\xBF\xBDx"}, // lone high half
        {"\xED\xB8\x80", "\xEF\xBF\xBD"},   // lone low half
        {"a\xFF"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"\xC3", "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShareTextForDisplay(c.bytes), c.shown);
}

TEST(Pages, SizesForPeopleRoundBeforeTheyChooseTheUnit)
{
    const struct
    {
        std::int64_t bytes;
        const char* shown;
    } cases[] = {
        {0, "0 bytes"},  {1, "1 byte"},      {999, "999 bytes"}, {1000, "1.0 kB"},    {9949, "9.9 kB"},
        {9950, "10 kB"}, {999499, "999 kB"}, {999500, "1.0 MB"}, {5000000, "5.0 MB"}, {12345678, "12 MB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSize(c.bytes), c.shown) << c.bytes;
    EXPECT_EQ(FormatSize(1, PageLanguage::German), "1 Byte");
    EXPECT_EQ(FormatSize(999, PageLanguage::German), "999 Bytes");
    EXPECT_EQ(FormatSize(9949, PageLanguage::German), "9,9 kB");
}

TEST(ForwardedClient, OnlyATrustedProxyNamesTheClient)
{
    const std::vector<std::string> proxies = {"127.0.0.1", "::1"};
    const struct
    {
        const char* peer;
        std::vector<const char*> forwarded; // X-Forwarded-For fields in order
        const char* counted;
    } cases[] = {
        {"127.0.0.1", {"203.0.113.7"}, "203.0.113.7"},
        {"::ffff:127.0.0.1", {"203.0.113.7"}, "203.0.113.7"},
        {"::1", {"2001:DB8::1"}, "2001:db8::1"},
        // What the client claimed before the proxy's own entry is never believed.
        {"127.0.0.1", {"10.9.9.9, 203.0.113.7"}, "203.0.113.7"},
        {"127.0.0.1", {"10.9.9.9", " 203.0.113.7 "}, "203.0.113.7"},
        // Not from a trusted proxy: the header is ignored.
        {"198.51.100.4", {"203.0.113.7"}, "198.51.100.4"},
        // A trusted proxy that names no usable address: the proxy itself is counted.
        {"127.0.0.1", {}, "127.0.0.1"},
        {"127.0.0.1", {"unknown"}, "127.0.0.1"},
        {"127.0.0.1", {"203.0.113.7,"}, "127.0.0.1"},
        {"127.0.0.1", {"203.0.113.7:4711"}, "127.0.0.1"},
    };
    for (const auto& c : cases) {
        HttpRequest req;
        req.remote_addr = c.peer;
        for (const char* field : c.forwarded)
            req.headers.emplace("x-forwarded-for", field);
        EXPECT_EQ(ForwardedClient(req, proxies), c.counted) << c.peer << " " << c.forwarded.size();
        EXPECT_EQ(ForwardedClient(req, {}), c.peer) << "no proxy is trusted";
    }
}

TEST(AccessKeys, KeysAreLongUniqueLettersAndDigits)
{
    std::set<std::string> keys;
    for (int i = 0; i < 2000; ++i) {
        const std::string key = NewAccessKey();
        ASSERT_TRUE(IsAccessKeyForm(key)) << key;
        keys.insert(key);
    }
    EXPECT_EQ(keys.size(), 2000u);
    EXPECT_FALSE(IsAccessKeyForm("short"));
    EXPECT_FALSE(IsAccessKeyForm("abcdefghijklmnopqrstuv-_"));
}

TEST(ServerOptions, CommandLine)
{
    const CommandLine defaults = ParseCommandLine({}, 12);
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->host, "127.0.0.1");
    EXPECT_EQ(defaults.options->port, 8077);
    EXPECT_EQ(defaults.options->latestBuild, 12u);

    const CommandLine full =
        ParseCommandLine({"--listen", "0.0.0.0:9000", "--data", "/srv/tern", "--latest-build", "30",
                          "--latest-message", "One\\nTwo\nThree"},
                         12);
    ASSERT_TRUE(full.options);
    EXPECT_EQ(full.options->host, "0.0.0.0");
    EXPECT_EQ(full.options->port, 9000);
    EXPECT_EQ(full.options->dataDir, "/srv/tern");
    EXPECT_EQ(full.options->latestBuild, 30u);
    EXPECT_EQ(full.options->latestMessage, (std::vector<std::string>{"One", "Two", "Three"}));

    const CommandLine proxies =
        ParseCommandLine({"--trusted-proxy", "127.0.0.1", "--trusted-proxy", "::FFFF:10.0.0.1"}, 12);
    ASSERT_TRUE(proxies.options);
    EXPECT_EQ(proxies.options->trustedProxies, (std::vector<std::string>{"127.0.0.1", "10.0.0.1"}));

    const CommandLine storage =
        ParseCommandLine({"--database", "postgresql://tern@127.0.0.1:5432/tern", "--share-days", "30",
                          "--max-shares", "50", "--max-share-mb", "7"},
                         12);
    ASSERT_TRUE(storage.options);
    EXPECT_EQ(storage.options->databaseUrl, "postgresql://tern@127.0.0.1:5432/tern");
    EXPECT_EQ(storage.options->shareDays, 30);
    EXPECT_EQ(storage.options->maxShares, 50);
    EXPECT_EQ(storage.options->maxShareBytes, 7000000);
    EXPECT_EQ(defaults.options->shareDays, 0);
    EXPECT_TRUE(defaults.options->databaseUrl.empty());

    const auto ipv6 = ParseListenAddress("[::1]:0");
    ASSERT_TRUE(ipv6);
    EXPECT_EQ(ipv6->first, "::1");

    const CommandLine help = ParseCommandLine({"--help"}, 12);
    EXPECT_FALSE(help.options);
    EXPECT_EQ(help.exitCode, 0);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--listen", "8077"},
                                                                 {"--listen", "host:70000"},
                                                                 {"--listen", "host:"},
                                                                 {"--latest-build", "-1"},
                                                                 {"--latest-build", "x"},
                                                                 {"--data"},
                                                                 {"--trusted-proxy", "localhost"},

                                                                 {"--database", "/var/lib/tern.db"},
                                                                 {"--share-days", "-1"},
                                                                 {"--max-shares", "many"},
                                                                 {"--verbose"}}) {
        const CommandLine result = ParseCommandLine(bad, 12);
        EXPECT_FALSE(result.options) << bad[0];
        EXPECT_EQ(result.exitCode, 2) << bad[0];
    }
}

} // namespace
} // namespace tern::server::test
