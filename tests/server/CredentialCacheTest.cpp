#include "CredentialCache.h"
#include "ServerFixture.h"

#include <gtest/gtest.h>

namespace tern::server::test {
namespace {

using namespace std::chrono_literals;

class CredentialCacheTest : public ::testing::Test
{
protected:
    std::int64_t m_now = 1700000000; // seconds since the Unix epoch
    CredentialCache m_cache{5min, 3, [this] { return m_now; }};
};

TEST_F(CredentialCacheTest, RemembersTheExactPairUntilItExpires)
{
    m_cache.remember("User@Example.com", "pass-a", 7);
    EXPECT_EQ(m_cache.find("user@example.COM", "pass-a"), 7);
    for (const auto& [email, pass] :
         std::vector<std::pair<std::string, std::string>>{{"user@example.com", "pass-b"},
                                                          {"user@example.com", "pass-a "},
                                                          {"other@example.com", "pass-a"},
                                                          {"user@example.compass-a", ""},
                                                          {"user@example.com", ""}}) {
        EXPECT_FALSE(m_cache.find(email, pass)) << email << " " << pass;
    }
    m_now += std::chrono::seconds(5min - 1s).count();
    EXPECT_EQ(m_cache.find("user@example.com", "pass-a"), 7);
    m_now += std::chrono::seconds(1s).count();
    EXPECT_FALSE(m_cache.find("user@example.com", "pass-a"));
}

TEST_F(CredentialCacheTest, ForgetAndANewPasswordReplaceWhatWasRemembered)
{
    m_cache.remember("a@example.com", "old", 1);
    m_cache.remember("a@example.com", "new", 1);
    EXPECT_FALSE(m_cache.find("a@example.com", "old"));
    EXPECT_EQ(m_cache.find("a@example.com", "new"), 1);
    m_cache.forget("A@EXAMPLE.COM");
    EXPECT_FALSE(m_cache.find("a@example.com", "new"));
}

TEST_F(CredentialCacheTest, StaysWithinItsCapacityDroppingTheOldestFirst)
{
    for (int i = 0; i < 4; ++i) {
        m_cache.remember("u" + std::to_string(i) + "@example.com", "p", i);
        m_now += std::chrono::seconds(1s).count();
    }
    EXPECT_FALSE(m_cache.find("u0@example.com", "p"));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(m_cache.find("u" + std::to_string(i) + "@example.com", "p"), i);
}

class RememberedCredentials : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.failedLoginsPerAddress = {2, std::chrono::minutes(15)};
    }
};

TEST_F(RememberedCredentials, DoNotOutliveALockOutOrAnExpiry)
{
    ASSERT_EQ(registerAccount("user@example.com"), "ok");
    ASSERT_EQ(authStatus("check", "user@example.com", kPass), "ok");
    EXPECT_EQ(authStatus("check", "User@Example.com", kPass), "ok");
    EXPECT_EQ(authStatus("check", "user@example.com", kOtherPass), "error");
    EXPECT_EQ(authStatus("check", "user@example.com", kPass), "ok");
    EXPECT_EQ(authStatus("check", "user@example.com", kOtherPass), "error");
    // Locked: what was remembered does not open the lock.
    EXPECT_EQ(authStatus("check", "user@example.com", kPass), "error");
    EXPECT_EQ(get("/storage/read.html" + credentials("user@example.com", kPass)).status, 429);
    advanceClock(std::chrono::minutes(15));
    EXPECT_EQ(authStatus("check", "user@example.com", kPass), "ok");
    EXPECT_EQ(get("/storage/read.html" + credentials("user@example.com", kPass)).status, 200);
}

} // namespace
} // namespace tern::server::test
