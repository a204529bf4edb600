#include "service/ServiceProtocol.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(ServiceProtocolTest, FormValueEncodingEscapesExactlyItsSet)
{
    std::string expected;
    for (int byte = 0; byte < 256; ++byte) {
        const auto c = static_cast<char>(byte);
        const bool kept = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                          (byte >= '0' && byte <= '9') ||
                          std::string("-.!$()*,'").find(c) != std::string::npos;
        if (kept) {
            EXPECT_EQ(EncodeFormValue(std::string(1, c)), std::string(1, c)) << byte;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            EXPECT_EQ(EncodeFormValue(std::string(1, c)), hex) << byte;
        }
    }
    EXPECT_EQ(EncodeFormValue("d41d8cd98f00b204e9800998ecf8427e"), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(ServiceProtocolTest, TooLargeTextGroupsTheLimitsDigitsInThrees)
{
    const std::pair<size_t, const char*> cases[] = {
        {0, "0"},          {999, "999"},           {1000, "1,000"},
        {65536, "65,536"}, {1000000, "1,000,000"}, {1234567890, "1,234,567,890"},
    };
    for (const auto& [limit, shown] : cases)
        EXPECT_EQ(TooLargeText(limit),
                  std::string("The selected data is too large to send: the limit is ") + shown + " bytes.");
}

TEST(ServiceProtocolTest, EveryAddressIsBuiltFromItsHost)
{
    const std::string host = "http://svc.example:8077";
    const std::string pass = "0123456789abcdef0123456789abcdef";
    const std::string email = "a_b+c@d e&f#g";
    const std::string sent = "a%5Fb%2Bc%40d%20e%26f%23g";
    struct Case
    {
        std::string actual;
        std::string expected;
    } cases[] = {
        {AuthServiceUrl(host, kValidatePath), host + "/index.php/auth/validate"},
        {AuthServiceUrl(host + "/", kRegisterPath), host + "/index.php/auth/register"},
        {ValidateBody(email), "email=" + sent},
        {CredentialsBody(email, pass), "email=" + sent + "&pass=" + pass},
        {SaveUrl(host, email, pass), host + "/storage/save.html?email=" + sent + "&pass=" + pass},
        {ShareUrl(host, email, pass, 0),
         host + "/storage/share.html?email=" + sent + "&pass=" + pass + "&tp=0"},
        {ShareUrl(host, email, pass, 3),
         host + "/storage/share.html?email=" + sent + "&pass=" + pass + "&tp=3"},
        {ReadUrl(host, email, pass), host + "/storage/read.html?email=" + sent + "&pass=" + pass},
        {UpdateCheckUrl(host, 22), host + "/start/check.html?v=22"},
        {UpdateCheckUrl(host, 0x10016), host + "/start/check.html?v=22"},
        // The history page gets the values form-value encoded, so "+", "&" and "#" reach the account.
        {HistoryUrl(host, email, pass), host + "/cp/history.html?u=" + sent + "&p=" + pass},
        // The forgotten-password page: blanks, controls, "/", "\" and the query delimiters are escaped;
        // the at sign and "_" are not.
        {forgotPasswordUrl(host, "a_b+c@d e&f#g%h?i=j/k\\l"),
         host + "/start/forgot.html?email=a_b%2Bc@d%20e%26f%23g%25h%3Fi%3Dj%2Fk%5Cl"},
        {downloadPageUrl("http://dl.example", "english.lng"),
         "http://dl.example/start/download.html?lang=english.lng"},
        {shareLinkUrl(host, "Ab-9_x"), host + "/d/Ab-9_x.html"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected);
}

TEST(ServiceProtocolTest, MultipartBoundaryIsDrawnAgainWhileThePayloadHoldsIt)
{
    EXPECT_EQ(MultipartBoundary(0), "00000000_Synapse_boundary");
    EXPECT_EQ(MultipartBoundary(2147483646u), "7FFFFFFE_Synapse_boundary");

    // The top bit is dropped and 0x7FFFFFFF is never used; a boundary found in the payload is replaced.
    std::vector<std::uint32_t> draws = {0xFFFFFFFFu, 0x80000001u, 2u};
    size_t next = 0;
    const std::string payload = "xx--00000001_Synapse_boundaryxx";
    const MultipartBody body = BuildMultipartBody(payload, [&] { return draws.at(next++); });
    EXPECT_EQ(next, 3u);
    EXPECT_EQ(body.boundary, "00000002_Synapse_boundary");
    EXPECT_EQ(body.contentType, "multipart/form-data; boundary=00000002_Synapse_boundary");

    // An empty payload still makes one part (share kind 0).
    const MultipartBody empty = BuildMultipartBody("", [] { return 5u; });
    EXPECT_EQ(empty.body, "--00000005_Synapse_boundary\r\n"
                          "content-disposition: form-data; name=\"data\"; filename=\"clpdata.gif\"\r\n"
                          "Content-Type: Application/octet-string\r\n\r\n"
                          "\r\n--00000005_Synapse_boundary--\r\n");

    const MultipartBody secure = BuildMultipartBody("abc");
    EXPECT_EQ(secure.boundary.size(), 25u);
    EXPECT_NE(secure.boundary.substr(0, 8), "7FFFFFFF");
}

TEST(ServiceProtocolTest, ReplyLinesAreSplitAtAnyLineEnd)
{
    const struct
    {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\n", {"one"}},
        {"one\ntwo\rthree\r\n\r\nfive", {"one", "two", "three", "", "five"}},
        {"\n", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitTextLines(c.text), c.lines) << c.text;
        EXPECT_EQ(LinesJoinedCrLf(c.text), JoinLinesCrLf(c.lines)) << c.text;
    }
    EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(ServiceProtocolTest, HostileRepliesAreParseErrorsNotCrashes)
{
    auto nested = [](int levels, const std::string& open, const std::string& close) {
        std::string text = "{\"status\":";
        for (int i = 1; i < levels; ++i)
            text += open;
        text += "1";
        for (int i = 1; i < levels; ++i)
            text += close;
        return text + "}";
    };
    std::string manyValues = "{\"a\":[0";
    for (int i = 1; i < 8'000'000; ++i)
        manyValues += ",0";
    manyValues += "]}";
    // 64 levels (the reply object itself included) are read; one more is an error.
    EXPECT_NO_THROW(ParseReplyObject(nested(64, "[", "]")));
    EXPECT_NO_THROW(ParseReplyObject(nested(64, "{\"a\":", "}")));
    const std::vector<std::pair<const char*, std::string>> hostile = {
        {"65 levels of arrays", nested(65, "[", "]")},
        {"65 levels of objects", nested(65, "{\"a\":", "}")},
        {"200,000 brackets", std::string(200'000, '[') + std::string(200'000, ']')},
        {"200,000 objects", nested(200'000, "{\"a\":", "}")},
        {"16 MB of small values", manyValues},
        {"a top-level array of 16 MB", "[" + std::string(16'000'000, '1') + "]"},
    };
    for (const auto& [name, text] : hostile) {
        SCOPED_TRACE(name);
        EXPECT_THROW(ParseReplyObject(text), JsonError);
    }
    // A long string is one value: read whole.
    const std::string longText(16'000'000, 'x');
    EXPECT_EQ(ReplyStatus(ParseReplyObject("{\"status\":\"" + longText + "\"}")), longText);
}

TEST(ServiceProtocolTest, RepliesMustBeJsonObjects)
{
    for (const char* bad :
         {"", "<html><body>Bad gateway</body></html>", "[1,2]", "\"ok\"", "{\"status\":", "null"}) {
        EXPECT_THROW(ParseReplyObject(bad), JsonError) << bad;
    }
    const nlohmann::json reply =
        ParseReplyObject("{\"status\":\"ok\",\"n\":12,\"o\":{\"a\":true},\"s\":\"\"}\r\n");
    EXPECT_EQ(ReplyText(reply, "status"), "ok");
    EXPECT_EQ(ReplyText(reply, "n"), "12");
    EXPECT_EQ(ReplyText(reply, "o"), "{\"a\":true}");
    EXPECT_EQ(ReplyText(reply, "s"), "");
    EXPECT_EQ(ReplyText(reply, "missing"), std::nullopt);
    EXPECT_THROW(RequireReplyText(reply, "missing"), JsonError);
    EXPECT_EQ(ReplyStatus(std::nullopt), "");
    EXPECT_EQ(ReplyStatus(ParseReplyObject("{}")), "");
}

TEST(ServiceProtocolTest, AccountOutcomes)
{
    EXPECT_EQ(ValidateOutcomeOf("validated"), ValidateOutcome::Registered);
    EXPECT_EQ(ValidateOutcomeOf("unregistered"), ValidateOutcome::Unregistered);
    EXPECT_EQ(ValidateOutcomeOf("notvalidated"), ValidateOutcome::Invalid);
    EXPECT_EQ(ValidateOutcomeOf(""), ValidateOutcome::NoConnection);
    EXPECT_EQ(ValidateOutcomeOf("Validated"), ValidateOutcome::Other);
    EXPECT_TRUE(LoginAccepted("ok"));
    EXPECT_FALSE(LoginAccepted("OK"));
    EXPECT_FALSE(LoginAccepted(""));

    const struct
    {
        const char* reply; // nullptr: no reply
        std::optional<std::string> error;
    } cases[] = {
        {"{\"status\":\"ok\"}", std::nullopt},
        {"{\"status\":\"error\",\"message\":\"Address taken\"}", "Address taken"},
        {"{\"status\":\"error\",\"message\":\"\"}", kRegistrationFailedText},
        {"{\"status\":\"nope\"}", kRegistrationFailedText},
        {"{}", kRegistrationFailedText},
        {nullptr, kRegistrationFailedText},
    };
    for (const auto& c : cases) {
        const std::optional<nlohmann::json> reply =
            c.reply ? std::optional<nlohmann::json>(ParseReplyObject(c.reply)) : std::nullopt;
        EXPECT_EQ(RegistrationError(reply), c.error) << (c.reply ? c.reply : "(none)");
    }
    EXPECT_THROW(RegistrationError(ParseReplyObject("{\"status\":\"error\"}")), JsonError);
}

TEST(ServiceProtocolTest, StorageOutcomes)
{
    EXPECT_TRUE(SaveSucceeded(ParseReplyObject("{\"status\":\"ok\"}")));
    EXPECT_FALSE(SaveSucceeded(ParseReplyObject("{}")));
    try {
        SaveSucceeded(ParseReplyObject("{\"status\":\"quota\"}"));
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(isPlainError(error));
        EXPECT_STREQ(error.what(), "Copy operation failed with error: quota");
    }

    const std::string failed = "Upload failed.";
    EXPECT_EQ(ShareAccessKey(ParseReplyObject("{\"status\":\"ok\",\"accesskey\":\"aZ09-_\"}"), failed),
              "aZ09-_");
    EXPECT_THROW(ShareAccessKey(ParseReplyObject("{\"status\":\"ok\"}"), failed), JsonError);
    const struct
    {
        const char* reply;
        std::string message;
    } failures[] = {
        {"{\"status\":\"full\"}", "Copy operation failed with error: full"},
        {"{}", failed},
        {"{\"status\":\"ok\",\"accesskey\":\"\"}", failed},
        {"{\"status\":\"ok\",\"accesskey\":\"../../etc\"}", failed},
        {"{\"status\":\"ok\",\"accesskey\":\"a b\"}", failed},
        {"{\"status\":\"ok\",\"accesskey\":\"x?y=1\"}", failed},
        {"{\"status\":\"ok\",\"accesskey\":12}", "12"},
    };
    for (const auto& c : failures) {
        if (c.message == "12") {
            // A number is read as its text and is a plain token.
            EXPECT_EQ(ShareAccessKey(ParseReplyObject(c.reply), failed), "12");
            continue;
        }
        try {
            ShareAccessKey(ParseReplyObject(c.reply), failed);
            ADD_FAILURE() << c.reply;
        } catch (const Error& error) {
            EXPECT_TRUE(isPlainError(error)) << c.reply;
            EXPECT_EQ(error.what(), c.message) << c.reply;
        }
    }
    EXPECT_TRUE(IsAccessKeyToken(std::string(128, 'k')));
    EXPECT_FALSE(IsAccessKeyToken(std::string(129, 'k')));
}

TEST(ServiceProtocolTest, UpdateRepliesGiveTheirOutcome)
{
    const struct
    {
        std::optional<std::string> body;
        int outcome;
        std::string statusLine;
        std::string message;
    } cases[] = {
        {std::nullopt, kUpdateNoAnswer, "", ""},
        {"", kUpdateNoAnswer, "", ""},
        {"uptodate", kUpdateUpToDate, "uptodate", ""},
        {"uptodate;1.0.0.12\r\n", kUpdateUpToDate, "uptodate;1.0.0.12", ""},
        {"Uptodate\r\n", kUpdateNoAnswer, "Uptodate", ""},
        {"outdated;1.0.0.30\nNew build\r\nwith fixes\n", kUpdateOutdated, "outdated;1.0.0.30",
         "New build\r\nwith fixes\r\n"},
        {"<html>\n</html>", kUpdateNoAnswer, "<html>", "</html>\r\n"},
    };
    for (const auto& c : cases) {
        const UpdateCheckResult result = ParseUpdateReply(c.body);
        EXPECT_EQ(result.outcome, c.outcome) << c.body.value_or("(none)");
        EXPECT_EQ(result.statusLine, c.statusLine);
        EXPECT_EQ(result.message, c.message);
    }
}

} // namespace
} // namespace tern
