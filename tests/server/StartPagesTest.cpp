#include "ServerFixture.h"

#include "PageTexts.h"
#include "RawHttp.h"

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

// Every page speaks the language the browser asks for, English or German, and says it varies by it.
TEST_F(StartPages, PagesFollowTheBrowsersLanguage)
{
    const auto getIn = [this](const std::string& target, const std::string& languages) {
        std::string request = GetRequest(port(), target);
        if (!languages.empty())
            request.insert(request.size() - 2, "Accept-Language: " + languages + "\r\n");
        return SendRaw(port(), request);
    };
    const struct
    {
        std::string target;
        std::string english;
        std::string german;
    } pages[] = {
        {"/help/", "<h1>Help</h1>", "<h1>Hilfe</h1>"},
        {"/", "How it works", "So funktioniert es"},
        {"/start/forgot.html?email=a%40example.com", "Forgotten password", "Passwort vergessen"},
        {"/start/download.html", "The newest build is 20.", "Der neueste Build ist 20."},
        {"/no/such/page", "There is no page at this address.", "Unter dieser Adresse gibt es keine Seite."},
        {"/cp/history.html?u=a%40example.com&p=" + std::string(kPass), "Wrong e-mail address or password.",
         "E-Mail-Adresse oder Passwort ist falsch."},
    };
    for (const auto& page : pages) {
        const RawReply english = getIn(page.target, "");
        const RawReply german = getIn(page.target, "de-DE,de;q=0.9,en;q=0.8");
        EXPECT_NE(english.body.find(page.english), std::string::npos) << page.target;
        EXPECT_NE(english.body.find("<html lang=\"en\">"), std::string::npos) << page.target;
        EXPECT_NE(german.body.find(page.german), std::string::npos) << page.target << german.body;
        EXPECT_NE(german.body.find("<html lang=\"de\">"), std::string::npos) << page.target;
        EXPECT_EQ(german.header("Vary"), "Accept-Language") << page.target;
        // The mark is the program's own drawing, inlined.
        EXPECT_NE(english.body.find("<svg class=\"logo\" aria-hidden=\"true\""), std::string::npos);
        EXPECT_NE(english.body.find("viewBox=\"0 0 256 256\""), std::string::npos) << page.target;
    }
}

TEST(PageLanguage, TheHighestWeightedSupportedLanguageWins)
{
    const struct
    {
        const char* header;
        PageLanguage language;
    } cases[] = {
        {"", PageLanguage::English},
        {"de", PageLanguage::German},
        {"DE-at", PageLanguage::German},
        {"fr-FR, fr;q=0.9, de;q=0.5", PageLanguage::German},
        {"en;q=0.4, de;q=0.6", PageLanguage::German},
        {"de;q=0.5, en", PageLanguage::English},
        {"de;q=0, en;q=0.1", PageLanguage::English},
        {"fr, *;q=0.5", PageLanguage::English},
        {"de;q=abc", PageLanguage::English},
        {",,;q=1, de-CH ,", PageLanguage::German},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageLanguageFor(c.header), c.language) << c.header;
}

TEST_F(StartPages, WrongMethodsAndUnknownApiPathsAnswerJsonWhereTheClientReadsJson)
{
    EXPECT_EQ(status(get("/index.php/auth/check")), "badrequest");
    EXPECT_EQ(status(post("/index.php/auth/unknown", "email=a")), "badrequest");
    EXPECT_EQ(status(get("/storage/share.html")), "badrequest");
}

} // namespace
} // namespace tern::server::test
