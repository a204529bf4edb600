#pragma once

#include "RawHttp.h"
#include "ServerOptions.h"
#include "TernServer.h"

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

// Runs a TernServer in this process on a free loopback port with its own data folder and a clock
// that only moves when the test says so. Tests adjust the options in adjustOptions().
class ServerFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    virtual void adjustOptions(ServerOptions&) {}

    int port() const { return m_server->port(); }
    const std::string& dataDir() const { return m_dataDir; }
    void advanceClock(std::chrono::seconds by)
    {
        m_clockOffset += std::chrono::duration_cast<std::chrono::steady_clock::duration>(by).count();
    }

    // Requests exactly as the desktop client sends them; the e-mail is form-value encoded here.
    RawReply post(const std::string& path, const std::string& body);
    RawReply get(const std::string& target);
    RawReply upload(const std::string& target, std::string_view payload);
    // "status" of a JSON reply ("<not json>" when the body is not a JSON object).
    static std::string status(const RawReply& reply);
    static nlohmann::json json(const RawReply& reply);

    std::string authStatus(const std::string& request, const std::string& email, const std::string& pass);
    std::string registerAccount(const std::string& email, const std::string& pass = kPass);
    // "?email=...&pass=..." for the storage requests.
    static std::string credentials(const std::string& email, const std::string& pass);

private:
    std::string m_dataDir;
    std::atomic<std::chrono::steady_clock::rep> m_clockOffset{0};
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
