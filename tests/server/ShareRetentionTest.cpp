#include "ServerFixture.h"

namespace tern::server::test {
namespace {

const std::string kEmail = "keeper@example.com";

// Small quotas and shares that live two days.
class ShareRetention : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.maxShares = 3;
        options.maxShareBytes = 100;
        options.shareDays = 2;
    }
    void SetUp() override
    {
        ServerFixture::SetUp();
        ASSERT_EQ(registerAccount(kEmail), "ok");
        ASSERT_EQ(registerAccount("other@example.com"), "ok");
    }
    RawReply share(const std::string& text, const std::string& email = kEmail)
    {
        return upload("/storage/share.html" + credentials(email, kPass) + "&tp=1", text);
    }
    std::string shareKey(const std::string& text, const std::string& email = kEmail)
    {
        const RawReply reply = share(text, email);
        return status(reply) == "ok" ? json(reply)["accesskey"].get<std::string>() : std::string();
    }
    RawReply history() { return get("/cp/history.html?u=" + FormValue(kEmail) + "&p=" + kPass); }
    RawReply remove(const std::string& key, bool confirmed, const std::string& pass = kPass)
    {
        return post("/cp/delete.html", "u=" + FormValue(kEmail) + "&p=" + pass + "&key=" + key +
                                           (confirmed ? "&confirm=yes" : ""));
    }
    bool exists(const std::string& key) { return get("/d/" + key + ".html").status == 200; }
};

TEST_F(ShareRetention, QuotasOfCountAndBytesArePerAccount)
{
    EXPECT_FALSE(shareKey(std::string(60, 'a')).empty());
    EXPECT_EQ(status(share(std::string(41, 'b'))), "overquota"); // 101 bytes in all
    EXPECT_FALSE(shareKey(std::string(40, 'b')).empty());        // exactly 100
    EXPECT_EQ(status(share("c")), "overquota");
    EXPECT_FALSE(shareKey("another account's own quota", "other@example.com").empty());
}

TEST_F(ShareRetention, NumberOfSharesIsLimited)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(shareKey("item " + std::to_string(i)).empty()) << i;
    EXPECT_EQ(status(share("one too many")), "overquota");
}

TEST_F(ShareRetention, SharesExpireAfterTheConfiguredDaysAndFreeTheQuota)
{
    const std::string old = shareKey(std::string(100, 'o'));
    ASSERT_FALSE(old.empty());
    advanceClock(std::chrono::hours(24));
    const std::string young = shareKey("young", "other@example.com");
    EXPECT_EQ(status(share("no room")), "overquota");

    advanceClock(std::chrono::hours(24) + std::chrono::seconds(1));
    EXPECT_FALSE(exists(old));
    EXPECT_EQ(get("/d/" + old + ".txt").status, 404);
    EXPECT_EQ(history().body.find(old), std::string::npos);
    EXPECT_TRUE(exists(young));
    EXPECT_FALSE(shareKey(std::string(100, 'n')).empty());
}

TEST_F(ShareRetention, DeleteAsksOnceMoreThenDeletesOnlyWithTheOwnersCredentials)
{
    const std::string key = shareKey("to delete");
    const std::string foreign = shareKey("not yours", "other@example.com");
    ASSERT_FALSE(key.empty() || foreign.empty());
    // The history page offers a button that posts the key to the delete address.
    const std::string page = history().body;
    EXPECT_NE(page.find("action=\"/cp/delete.html\""), std::string::npos);
    EXPECT_NE(page.find("name=\"key\" value=\"" + key + "\""), std::string::npos);

    const RawReply ask = remove(key, false);
    EXPECT_EQ(ask.status, 200);
    EXPECT_NE(ask.body.find("name=\"confirm\" value=\"yes\""), std::string::npos);
    EXPECT_TRUE(exists(key));

    EXPECT_EQ(remove(key, true, kOtherPass).status, 403);
    EXPECT_TRUE(exists(key));
    remove(foreign, true);
    EXPECT_TRUE(exists(foreign));

    const RawReply done = remove(key, true);
    EXPECT_EQ(done.status, 200);
    EXPECT_NE(done.body.find("was deleted"), std::string::npos);
    EXPECT_FALSE(exists(key));
    EXPECT_EQ(done.body.find(key), std::string::npos);
    // The room it took is free again.
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(shareKey("again " + std::to_string(i)).empty()) << i;
}

} // namespace
} // namespace tern::server::test
