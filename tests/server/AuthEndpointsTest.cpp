#include "ServerFixture.h"

namespace tern::server::test {
namespace {

using AuthEndpoints = ServerFixture;

TEST_F(AuthEndpoints, ValidateTellsAccountsFromNewAndInvalidAddresses)
{
    EXPECT_EQ(authStatus("validate", "new@example.com", ""), "unregistered");
    for (const char* invalid : {"", "no-at-sign", "a b@example.com", "x@localhost", "<b>@example.com"})
        EXPECT_EQ(authStatus("validate", invalid, ""), "notvalidated") << invalid;

    // "+" and "_" arrive form-value encoded (%2B, %5F) and must reach the same account.
    ASSERT_EQ(registerAccount("first_last+tag@example.com"), "ok");
    EXPECT_EQ(authStatus("validate", "first_last+tag@example.com", ""), "validated");
    EXPECT_EQ(authStatus("validate", "First_Last+Tag@Example.COM", ""), "validated");
    EXPECT_EQ(authStatus("validate", "first_last tag@example.com", ""), "notvalidated");
}

TEST_F(AuthEndpoints, RegisterOutcomes)
{
    EXPECT_EQ(registerAccount("user@example.com"), "ok");

    const RawReply again = post("/index.php/auth/register", "email=user%40example.com&pass=" + kOtherPass);
    EXPECT_EQ(status(again), "error");
    EXPECT_FALSE(json(again)["message"].get<std::string>().empty());
    EXPECT_EQ(registerAccount("USER@example.com"), "error");

    for (const std::string& badPass : {std::string("5F4DCC3B5AA765D61D8327DEB882CF99"), kPass.substr(1),
                                       kPass + "0", std::string("password"), std::string()}) {
        const RawReply reply =
            post("/index.php/auth/register", "email=other%40example.com&pass=" + FormValue(badPass));
        EXPECT_EQ(status(reply), "error") << badPass;
        EXPECT_TRUE(json(reply).contains("message"));
    }
    EXPECT_EQ(registerAccount("not an email"), "error");
    EXPECT_EQ(authStatus("validate", "other@example.com", ""), "unregistered");
}

TEST_F(AuthEndpoints, CheckAcceptsOnlyTheRightPasswordValue)
{
    ASSERT_EQ(registerAccount("user@example.com"), "ok");
    EXPECT_EQ(authStatus("check", "user@example.com", kPass), "ok");
    EXPECT_EQ(authStatus("check", "User@Example.com", kPass), "ok");
    EXPECT_EQ(authStatus("check", "user@example.com", kOtherPass), "error");
    EXPECT_EQ(authStatus("check", "nobody@example.com", kPass), "error");
    EXPECT_EQ(authStatus("check", "user@example.com", "5F4DCC3B5AA765D61D8327DEB882CF99"), "error");
    EXPECT_EQ(authStatus("check", "user@example.com", ""), "error");
}

TEST_F(AuthEndpoints, PasswordValueIsStoredOnlyAsSaltedArgon2idHash)
{
    ASSERT_EQ(registerAccount("one@example.com"), "ok");
    ASSERT_EQ(registerAccount("two@example.com"), "ok");

    std::vector<std::string> hashes;
    for (const SqlRow& row : openStore()->run("SELECT password_hash FROM accounts ORDER BY id"))
        hashes.push_back(row[0].bytes);

    ASSERT_EQ(hashes.size(), 2u);
    for (const std::string& hash : hashes) {
        EXPECT_TRUE(hash.starts_with("$argon2id$")) << hash;
        EXPECT_EQ(hash.find(kPass), std::string::npos);
    }
    EXPECT_NE(hashes[0], hashes[1]); // salted: the same password value hashes differently
}

class AddressLimit : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.failedLoginsPerAddress = {3, std::chrono::minutes(15)};
        options.failedLoginsPerAccountAddress = {100, std::chrono::minutes(15)};
    }
};

TEST_F(AddressLimit, FailedLoginsOnAnyRequestLockTheAddressUntilTheWindowEnds)
{
    ASSERT_EQ(registerAccount("user@example.com"), "ok");
    ASSERT_EQ(registerAccount("other@example.com"), "ok");
    // Failures count whichever request carries the credentials.
    EXPECT_EQ(authStatus("check", "user@example.com", kOtherPass), "error");
    EXPECT_EQ(
        status(upload("/storage/save.html" + credentials("other@example.com", kOtherPass), Snapshot(0, 0))),
        "denied");
    EXPECT_EQ(get("/storage/read.html" + credentials("nobody@example.com", kPass)).body, "");

    // Locked: even the right password value is refused, on every request, for every account.
    EXPECT_EQ(authStatus("check", "user@example.com", kPass), "error");
    EXPECT_EQ(status(upload("/storage/save.html" + credentials("user@example.com", kPass), Snapshot(0, 0))),
              "locked");
    EXPECT_EQ(status(upload("/storage/share.html" + credentials("other@example.com", kPass) + "&tp=1", "x")),
              "locked");
    const RawReply read = get("/storage/read.html" + credentials("user@example.com", kPass));
    EXPECT_EQ(read.body, "");
    EXPECT_EQ(get("/cp/history.html?u=user%40example.com&p=" + kPass).status, 429);

    advanceClock(std::chrono::minutes(15));
    EXPECT_EQ(authStatus("check", "user@example.com", kPass), "ok");
}

class AccountLimit : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.failedLoginsPerAddress = {100, std::chrono::minutes(15)};
        options.failedLoginsPerAccountAddress = {2, std::chrono::minutes(15)};
    }
};

TEST_F(AccountLimit, FailedLoginsLockOnlyThatAccount)
{
    ASSERT_EQ(registerAccount("victim@example.com"), "ok");
    ASSERT_EQ(registerAccount("bystander@example.com"), "ok");
    EXPECT_EQ(authStatus("check", "victim@example.com", kOtherPass), "error");
    EXPECT_EQ(authStatus("check", "VICTIM@example.com", kOtherPass), "error");
    EXPECT_EQ(authStatus("check", "victim@example.com", kPass), "error");
    EXPECT_EQ(authStatus("check", "bystander@example.com", kPass), "ok");
    advanceClock(std::chrono::minutes(15));
    EXPECT_EQ(authStatus("check", "victim@example.com", kPass), "ok");
}

class RegistrationLimit : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.registrationsPerAddress = {2, std::chrono::hours(1)};
    }
};

TEST_F(RegistrationLimit, RegistrationsPerAddressAreLimited)
{
    EXPECT_EQ(registerAccount("one@example.com"), "ok");
    EXPECT_EQ(registerAccount("two@example.com"), "ok");
    const RawReply refused = post("/index.php/auth/register", "email=three%40example.com&pass=" + kPass);
    EXPECT_EQ(status(refused), "error");
    EXPECT_NE(json(refused)["message"].get<std::string>().find("Too many"), std::string::npos);
    EXPECT_EQ(authStatus("validate", "three@example.com", ""), "unregistered");
    advanceClock(std::chrono::hours(1));
    EXPECT_EQ(registerAccount("three@example.com"), "ok");
}

} // namespace
} // namespace tern::server::test
