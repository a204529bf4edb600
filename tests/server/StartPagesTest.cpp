#include "ServerFixture.h"

namespace tern::server::test {
namespace {

using StartPages = ServerFixture; // latest build 20, message "Faster uploads." / "Fixes <everything>."

TEST_F(StartPages, CheckAnswersAgainstTheLatestBuild)
{
    const struct
    {
        std::string query;
        std::string body;
    } cases[] = {
        {"v=12", "outdated;20\r\nFaster uploads.\r\nFixes <everything>.\r\n"},
        {"v=19", "outdated;20\r\nFaster uploads.\r\nFixes <everything>.\r\n"},
        {"v=20", "uptodate\r\n"},
        {"v=21", "uptodate\r\n"},
        {"v=", "invalid\r\n"},
        {"v=abc", "invalid\r\n"},
        {"v=-1", "invalid\r\n"},
        {"", "invalid\r\n"},
    };
    for (const auto& c : cases) {
        const RawReply reply = get("/start/check.html?" + c.query);
        EXPECT_EQ(reply.body, c.body) << c.query;
        EXPECT_EQ(reply.header("Content-Type"), "text/plain; charset=utf-8");
    }
}

TEST_F(StartPages, PagesEscapeWhatTheyReflect)
{
    const struct
    {
        std::string target;
        std::string expected;
    } cases[] = {
        {"/start/forgot.html?email=%3Cscript%3Ex%3C%2Fscript%3E%40example.com",
         "&lt;script&gt;x&lt;/script&gt;@example.com"},
        {"/start/download.html?lang=%22%3E%3Cimg%20src%3Dx%3E.lng", "&quot;&gt;&lt;img src=x&gt;.lng"},
        {"/start/download.html?lang=english.lng", "Fixes &lt;everything&gt;."},
        {"/help/", "Remote Paste"},
        {"/help", "Remote Paste"},
        {"/", "/help/"},
    };
    for (const auto& c : cases) {
        const RawReply reply = get(c.target);
        EXPECT_EQ(reply.status, 200) << c.target;
        EXPECT_EQ(reply.header("Content-Type"), "text/html; charset=utf-8") << c.target;
        EXPECT_EQ(reply.header("X-Content-Type-Options"), "nosniff") << c.target;
        EXPECT_FALSE(reply.header("Content-Security-Policy").empty()) << c.target;
        EXPECT_NE(reply.body.find(c.expected), std::string::npos) << c.target;
        EXPECT_EQ(reply.body.find("<script"), std::string::npos) << c.target;
        EXPECT_EQ(reply.body.find("<img src=x"), std::string::npos) << c.target;
    }
    EXPECT_EQ(get("/style.css").header("Content-Type"), "text/css; charset=utf-8");
    const RawReply missing = get("/no/such/page");
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.header("X-Content-Type-Options"), "nosniff");
}

TEST_F(StartPages, WrongMethodsAndUnknownApiPathsAnswerJsonWhereTheClientReadsJson)
{
    EXPECT_EQ(status(get("/index.php/auth/check")), "badrequest");
    EXPECT_EQ(status(post("/index.php/auth/unknown", "email=a")), "badrequest");
    EXPECT_EQ(status(get("/storage/share.html")), "badrequest");
}

} // namespace
} // namespace tern::server::test
