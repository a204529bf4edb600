#pragma once

#include "RawHttp.h"
#include "ServerOptions.h"
#include "SqlConnection.h"
#include "TernServer.h"
#include "support/ScratchDatabase.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tern::server::test {

// Two password values (what the client sends: 32 lower-case hex digits).
inline const std::string kPass = "5f4dcc3b5aa765d61d8327deb882cf99";
inline const std::string kOtherPass = "e10adc3949ba59abbe56e057f20f883e";

// Runs a TernServer in this process on a free loopback port with its own data folder (or its own
// PostgreSQL schema when the environment names a test database) and a clock that only moves when the
// test says so. Tests adjust the options in adjustOptions().
class ServerFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    virtual void adjustOptions(ServerOptions&) {}

    int port() const { return m_server->port(); }
    void advanceClock(std::chrono::seconds by) { m_clockOffset += by.count(); }
    // The options the server runs with.
    const ServerOptions& options() const { return m_options; }
    // A connection of the test's own to the server's database, to look at what it stored.
    std::unique_ptr<SqlConnection> openStore() const;
    // Uploads `payload` to every target at the same moment, from `from`, every other one to `second`
    // when given; the statuses of the replies, in the order of `targets`.
    std::vector<std::string> uploadAtOnce(const std::vector<std::string>& targets, std::string_view payload,
                                          const std::string& from = {}, const TernServer* second = nullptr);
    // A second server on the same database (another instance of a deployment), with the same clock.
    std::unique_ptr<TernServer> startAnotherServer(std::thread& thread);

    // Requests exactly as the desktop client sends them; the e-mail is form-value encoded here.
    // `from` is the client's loopback address (see SendRaw).
    RawReply post(const std::string& path, const std::string& body, const std::string& from = {});
    RawReply get(const std::string& target, const std::string& from = {});
    RawReply upload(const std::string& target, std::string_view payload, const std::string& from = {});
    // "status" of a JSON reply ("<not json>" when the body is not a JSON object).
    static std::string status(const RawReply& reply);
    static nlohmann::json json(const RawReply& reply);

    std::string authStatus(const std::string& request, const std::string& email, const std::string& pass,
                           const std::string& from = {});
    std::string registerAccount(const std::string& email, const std::string& pass = kPass);
    // "?email=...&pass=..." for the storage requests.
    static std::string credentials(const std::string& email, const std::string& pass);

private:
    std::string m_dataDir;
    tern::test::ScratchDatabase m_scratch;
    ServerOptions m_options;
    std::int64_t m_clockStart = SystemSeconds();
    std::atomic<std::int64_t> m_clockOffset{0};
    std::unique_ptr<TernServer> m_server;
    std::thread m_thread;
};

// The form-value encoding of the client: every byte but letters, digits and -.!$()*,' as %XX.
std::string FormValue(std::string_view text);

// A well-formed snapshot: `records` records of `recordBytes` bytes each.
std::string Snapshot(int records, std::size_t recordBytes);
// A well-formed snapshot with one record of format 13 per item of `payloads`.
std::string SnapshotOf(const std::vector<std::string>& payloads);

} // namespace tern::server::test
