#include "AccessKeys.h"
#include "ServerFixture.h"

namespace tern::server::test {
namespace {

const std::string kPng = std::string("\x89PNG\r\n\x1A\n", 8) + std::string("\0\0\0\rIHDR<html>", 14);
const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10) + "<script>";

class ShareEndpoints : public ServerFixture
{
protected:
    void SetUp() override
    {
        ServerFixture::SetUp();
        ASSERT_EQ(registerAccount(kEmail), "ok");
    }
    RawReply share(std::string_view payload, const std::string& tp, const std::string& email = kEmail)
    {
        return upload("/storage/share.html" + credentials(email, kPass) + "&tp=" + tp, payload);
    }
    // The access key of a successful share, or empty.
    std::string shareKey(std::string_view payload, const std::string& tp, const std::string& email = kEmail)
    {
        const RawReply reply = share(payload, tp, email);
        if (status(reply) != "ok")
            return {};
        return json(reply)["accesskey"].get<std::string>();
    }
    static void expectPageHeaders(const RawReply& reply)
    {
        EXPECT_EQ(reply.header("X-Content-Type-Options"), "nosniff");
        const std::string policy = reply.header("Content-Security-Policy");
        EXPECT_NE(policy.find("default-src 'none'"), std::string::npos);
        EXPECT_EQ(policy.find("script-src"), std::string::npos);
        EXPECT_EQ(policy.find("unsafe"), std::string::npos);
    }

    static inline const std::string kEmail = "sharer@example.com";
};

TEST_F(ShareEndpoints, TextPageEscapesTheTextAndTheRawLinkServesPlainText)
{
    // As the client sends it: UTF-8 with the clipboard's terminating zero.
    const std::string text = "<script>alert('x')</script> & \"caf\xC3\xA9\"";
    const std::string key = shareKey(text + '\0', "1");
    ASSERT_TRUE(IsAccessKeyForm(key)) << key;

    const RawReply page = get("/d/" + key + ".html");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("Content-Type"), "text/html; charset=utf-8");
    expectPageHeaders(page);
    EXPECT_EQ(page.body.find("<script>"), std::string::npos);
    EXPECT_NE(page.body.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;caf\xC3\xA9&quot;"),
              std::string::npos);
    EXPECT_NE(page.body.find("/d/" + key + ".txt"), std::string::npos);

    const RawReply raw = get("/d/" + key + ".txt");
    EXPECT_EQ(raw.status, 200);
    EXPECT_EQ(raw.header("Content-Type"), "text/plain; charset=utf-8");
    expectPageHeaders(raw);
    EXPECT_EQ(raw.body, text);
    // A text is never served under an image's link.
    EXPECT_EQ(get("/d/" + key + ".png").status, 404);
}

TEST_F(ShareEndpoints, ImagesAreShownOnThePageAndServedWithTheirOwnType)
{
    const struct
    {
        std::string bytes;
        std::string tp;
        std::string extension;
        std::string type;
    } cases[] = {
        {kPng, "3", "png", "image/png"},
        {kJpeg, "2", "jpg", "image/jpeg"},
    };
    for (const auto& c : cases) {
        const std::string key = shareKey(c.bytes, c.tp);
        ASSERT_FALSE(key.empty()) << c.type;
        const RawReply page = get("/d/" + key + ".html");
        EXPECT_EQ(page.status, 200);
        expectPageHeaders(page);
        EXPECT_NE(page.body.find("<img src=\"/d/" + key + "." + c.extension + "\""), std::string::npos);
        const RawReply raw = get("/d/" + key + "." + c.extension);
        EXPECT_EQ(raw.status, 200);
        EXPECT_EQ(raw.header("Content-Type"), c.type);
        expectPageHeaders(raw);
        EXPECT_EQ(raw.body, c.bytes);
        EXPECT_EQ(get("/d/" + key + ".txt").status, 404);
    }
}

TEST_F(ShareEndpoints, RefusedShares)
{
    const struct
    {
        std::string payload;
        std::string tp;
        std::string status;
    } cases[] = {
        {"", "0", "empty"},           {"", "1", "empty"},
        {"text", "", "badrequest"},   {"text", "4", "badrequest"},
        {"text", "-1", "badrequest"}, {"<html><script>alert(1)</script>", "2", "badformat"},
        {kJpeg, "3", "badformat"},    {kPng, "2", "badformat"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(status(share(c.payload, c.tp)), c.status) << c.tp << " " << c.payload;
    EXPECT_EQ(status(upload("/storage/share.html" + credentials(kEmail, kOtherPass) + "&tp=1", "x")),
              "denied");
    EXPECT_EQ(get("/cp/history.html?u=" + FormValue(kEmail) + "&p=" + kPass).body.find("/d/"),
              std::string::npos);
}

TEST_F(ShareEndpoints, ShareSizeLimit)
{
    EXPECT_EQ(status(share(std::string(5000000, 'a'), "1")), "ok");
    EXPECT_EQ(status(share(std::string(5000001, 'a'), "1")), "toolarge");
}

TEST_F(ShareEndpoints, UnknownAndMalformedKeysAreNotFound)
{
    for (const std::string& target :
         {"/d/" + std::string(24, 'A') + ".html", std::string("/d/short.html"),
          std::string("/d/../storage/read.html"), "/d/" + std::string(24, 'A') + ".exe"}) {
        const RawReply reply = get(target);
        EXPECT_EQ(reply.status, 404) << target;
        EXPECT_EQ(reply.header("Content-Type"), "text/html; charset=utf-8") << target;
        expectPageHeaders(reply);
    }
}

TEST_F(ShareEndpoints, HistoryListsTheAccountsSharesNewestFirst)
{
    ASSERT_EQ(registerAccount("other@example.com"), "ok");
    const std::string first = shareKey("first", "1");
    const std::string second = shareKey(kPng, "3");
    const std::string third = shareKey("third", "1");
    const std::string foreign = shareKey("not mine", "1", "other@example.com");
    ASSERT_FALSE(first.empty() || second.empty() || third.empty() || foreign.empty());

    const RawReply page = get("/cp/history.html?u=" + FormValue(kEmail) + "&p=" + kPass);
    EXPECT_EQ(page.status, 200);
    expectPageHeaders(page);
    EXPECT_EQ(page.header("Cache-Control"), "no-store");
    EXPECT_EQ(page.header("Referrer-Policy"), "no-referrer");
    const std::size_t at3 = page.body.find(third);
    const std::size_t at2 = page.body.find(second);
    const std::size_t at1 = page.body.find(first);
    ASSERT_NE(at1, std::string::npos);
    EXPECT_LT(at3, at2);
    EXPECT_LT(at2, at1);
    EXPECT_EQ(page.body.find(foreign), std::string::npos);
    // The password value appears only where the delete buttons send it back, never as text.
    for (std::size_t at = page.body.find(kPass); at != std::string::npos; at = page.body.find(kPass, at + 1))
        EXPECT_TRUE(page.body.substr(0, at).ends_with("name=\"p\" value=\""))
            << page.body.substr(at - 40, 80);

    const RawReply refused = get("/cp/history.html?u=" + FormValue(kEmail) + "&p=" + kOtherPass);
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(refused.body.find(first), std::string::npos);
}

// A share's size reads the same on its page and in the history: the bytes stored, terminator included.
TEST_F(ShareEndpoints, PageAndHistoryGiveTheSameSize)
{
    const std::string key = shareKey(std::string("sixty-two\0", 10), "1");
    ASSERT_FALSE(key.empty());
    const std::string page = get("/d/" + key + ".html").body;
    const std::string history = get("/cp/history.html?u=" + FormValue(kEmail) + "&p=" + kPass).body;
    EXPECT_NE(page.find("10 bytes"), std::string::npos) << page;
    EXPECT_NE(history.find("10 bytes"), std::string::npos) << history;
}

} // namespace
} // namespace tern::server::test
