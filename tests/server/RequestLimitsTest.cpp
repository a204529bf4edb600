#include "ServerFixture.h"

#include <algorithm>
#include <latch>

namespace tern::server::test {
namespace {

const std::string kOwner = "owner@example.com";
const std::string kAttackerA = "127.0.0.2";
const std::string kAttackerB = "127.0.0.3";

// The production limits: what a user gets when nobody configures anything.
using RequestLimits = ServerFixture;

TEST_F(RequestLimits, NobodyElseCanLockTheOwnerOut)
{
    ASSERT_EQ(registerAccount(kOwner), "ok");
    const std::string malformed[] = {"", "x", "5F4DCC3B5AA765D61D8327DEB882CF99", kPass + "0"};
    int lockedForAttacker = 0;
    for (const std::string& from : {kAttackerA, kAttackerB}) {
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(authStatus("check", kOwner, malformed[i % 4], from), "error");
        for (int i = 0; i < 30; ++i) {
            const std::string reply =
                status(upload("/storage/save.html" + credentials(kOwner, kOtherPass), Snapshot(0, 0), from));
            lockedForAttacker += reply == "locked" ? 1 : 0;
        }
    }
    // The attackers are slowed down at their own addresses...
    EXPECT_GE(lockedForAttacker, 40);
    // ...while the owner, elsewhere, is not affected at all.
    EXPECT_EQ(authStatus("check", kOwner, kPass), "ok");
    EXPECT_EQ(status(upload("/storage/save.html" + credentials(kOwner, kPass), Snapshot(1, 3))), "ok");
    EXPECT_EQ(get("/cp/history.html?u=" + FormValue(kOwner) + "&p=" + kPass).status, 200);
}

class TightLimits : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.failedLoginsPerAddress = {10, std::chrono::hours(1), std::chrono::seconds(1),
                                          std::chrono::minutes(15)};
        options.failedLoginsPerAccountAddress = {3, std::chrono::hours(1), std::chrono::seconds(1),
                                                 std::chrono::minutes(15)};
        options.validationsPerAddress = {5, std::chrono::minutes(10), std::chrono::seconds(1),
                                         std::chrono::minutes(1)};
    }

    // Sends every request at once from `from`, half of them to `second` when given; their statuses.
    std::vector<std::string> atOnce(const std::vector<std::string>& targets, const std::string& from,
                                    const TernServer* second = nullptr)
    {
        std::vector<std::string> statuses(targets.size());
        std::latch ready(static_cast<std::ptrdiff_t>(targets.size()));
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const int to = (second != nullptr && i % 2 == 1) ? second->port() : port();
            threads.emplace_back([&, i, to] {
                const std::string request = UploadRequest(to, targets[i], Snapshot(0, 0));
                ready.arrive_and_wait();
                statuses[i] = status(SendRaw(to, request, from));
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        return statuses;
    }
};

TEST_F(TightLimits, ParallelWrongLoginsFromOneAddressGetNoMoreChecksThanTheLimit)
{
    // Forty unknown accounts, so that only the address's limit (10) applies; half of the requests go to a
    // second server on the same database, which must count against the same limit.
    std::vector<std::string> targets;
    for (int i = 0; i < 40; ++i)
        targets.push_back("/storage/save.html" +
                          credentials("user" + std::to_string(i) + "@example.com", kPass));
    std::thread secondThread;
    const auto second = startAnotherServer(secondThread);
    const std::vector<std::string> statuses = atOnce(targets, kAttackerA, second.get());
    second->stop();
    secondThread.join();

    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "denied"), 10);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "locked"), 30);
}

TEST_F(TightLimits, FailuresAtOneAddressGrowTheDelayThereOnly)
{
    ASSERT_EQ(registerAccount(kOwner), "ok");
    const auto save = [this](const std::string& pass, const std::string& from) {
        return status(upload("/storage/save.html" + credentials(kOwner, pass), Snapshot(0, 0), from));
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(save(kOtherPass, kAttackerA), "denied");
    // Past the allowance every further try waits twice as long as the one before: 1 s, 2 s, 4 s.
    for (const int delay : {1, 2, 4}) {
        EXPECT_EQ(save(kPass, kAttackerA), "locked") << delay;
        advanceClock(std::chrono::seconds(delay - 1));
        EXPECT_EQ(save(kOtherPass, kAttackerA), "locked") << delay;
        advanceClock(std::chrono::seconds(1));
        EXPECT_EQ(save(kOtherPass, kAttackerA), "denied") << delay;
        // The owner elsewhere is never held up.
        EXPECT_EQ(save(kPass, kAttackerB), "ok") << delay;
    }
    // A success after the wait clears the account's count at that address.
    advanceClock(std::chrono::seconds(8));
    EXPECT_EQ(save(kPass, kAttackerA), "ok");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(save(kOtherPass, kAttackerA), "denied");
    EXPECT_EQ(save(kOtherPass, kAttackerA), "locked");
    // An hour without failures forgets them: three tries at once again.
    advanceClock(std::chrono::hours(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(save(kOtherPass, kAttackerA), "denied");
}

TEST_F(TightLimits, ValidateIsLimitedPerAddress)
{
    const auto validate = [this](int i, const std::string& from) {
        return authStatus("validate", "someone" + std::to_string(i) + "@example.com", "", from);
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(validate(i, kAttackerA), "unregistered");
    EXPECT_EQ(validate(5, kAttackerA), "locked");
    EXPECT_EQ(validate(5, kAttackerB), "unregistered");
    // Malformed addresses cost nothing and reveal nothing.
    EXPECT_EQ(authStatus("validate", "not an address", "", kAttackerA), "notvalidated");
    advanceClock(std::chrono::seconds(1));
    EXPECT_EQ(validate(6, kAttackerA), "unregistered");
    EXPECT_EQ(validate(7, kAttackerA), "locked");
    advanceClock(std::chrono::minutes(10));
    EXPECT_EQ(validate(8, kAttackerA), "unregistered");
}

} // namespace
} // namespace tern::server::test
