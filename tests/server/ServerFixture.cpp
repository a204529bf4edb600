#include "ServerFixture.h"

#include "PostgresConnection.h"
#include "SqliteConnection.h"

#include <cstdlib>
#include <filesystem>

namespace tern::server::test {

void ServerFixture::SetUp()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tern-server-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_dataDir = pattern + "/data"; // not there yet: the server creates it

    ServerOptions& options = m_options;
    options.port = 0;
    options.dataDir = m_dataDir;
    options.databaseUrl = m_scratch.url();
    options.latestBuild = 20;
    options.latestMessage = {"Faster uploads.", "Fixes <everything>."};
    options.hashOpsLimit = 1;
    options.hashMemLimit = 8192;
    options.accessLog = false;
    adjustOptions(options);
    m_server = std::make_unique<TernServer>(options, [this] { return m_clockStart + m_clockOffset.load(); });
    m_server->bind();
    m_thread = std::thread([this] { m_server->run(); });
}

std::unique_ptr<SqlConnection> ServerFixture::openStore() const
{
    if (!m_options.databaseUrl.empty())
        return std::make_unique<PostgresConnection>(m_options.databaseUrl);
    return std::make_unique<SqliteConnection>(m_dataDir + "/" + Database::kFileName);
}

std::unique_ptr<TernServer> ServerFixture::startAnotherServer(std::thread& thread)
{
    auto server =
        std::make_unique<TernServer>(m_options, [this] { return m_clockStart + m_clockOffset.load(); });
    server->bind();
    thread = std::thread([raw = server.get()] { raw->run(); });
    return server;
}

void ServerFixture::TearDown()
{
    if (m_server) {
        m_server->stop();
        m_thread.join();
        m_server.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(m_dataDir).parent_path(), ignored);
}

RawReply ServerFixture::post(const std::string& path, const std::string& body, const std::string& from)
{
    return SendRaw(port(), FormRequest(port(), path, body), from);
}

RawReply ServerFixture::get(const std::string& target, const std::string& from)
{
    return SendRaw(port(), GetRequest(port(), target), from);
}

RawReply ServerFixture::upload(const std::string& target, std::string_view payload, const std::string& from)
{
    return SendRaw(port(), UploadRequest(port(), target, payload), from);
}

nlohmann::json ServerFixture::json(const RawReply& reply)
{
    return nlohmann::json::parse(reply.body, nullptr, false);
}

std::string ServerFixture::status(const RawReply& reply)
{
    const nlohmann::json object = json(reply);
    if (!object.is_object())
        return "<not json>";
    return object.contains("status") ? object["status"].get<std::string>() : "<no status>";
}

std::string ServerFixture::authStatus(const std::string& request, const std::string& email,
                                      const std::string& pass, const std::string& from)
{
    return status(
        post("/index.php/auth/" + request, "email=" + FormValue(email) + "&pass=" + FormValue(pass), from));
}

std::string ServerFixture::registerAccount(const std::string& email, const std::string& pass)
{
    return authStatus("register", email, pass);
}

std::string ServerFixture::credentials(const std::string& email, const std::string& pass)
{
    return "?email=" + FormValue(email) + "&pass=" + FormValue(pass);
}

std::string FormValue(std::string_view text)
{
    static constexpr std::string_view kKept = "-.!$()*,'";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alnum || kKept.find(c) != std::string_view::npos) {
            result += c;
        } else {
            result += '%';
            result += kHex[byte >> 4];
            result += kHex[byte & 0x0F];
        }
    }
    return result;
}

std::string SnapshotOf(const std::vector<std::string>& payloads)
{
    const auto le32 = [](std::uint32_t value) {
        std::string bytes(4, '\0');
        for (std::size_t i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    std::string stream = le32(static_cast<std::uint32_t>(payloads.size()));
    for (const std::string& payload : payloads)
        stream += '\x01' + le32(13) + le32(static_cast<std::uint32_t>(payload.size())) + payload;
    return stream;
}

std::string Snapshot(int records, std::size_t recordBytes)
{
    std::vector<std::string> payloads;
    for (int i = 0; i < records; ++i) {
        std::string payload(recordBytes, '\0');
        for (std::size_t j = 0; j < recordBytes; ++j)
            payload[j] = static_cast<char>((j * 7 + static_cast<std::size_t>(i)) & 0xFF);
        payloads.push_back(payload);
    }
    return SnapshotOf(payloads);
}

} // namespace tern::server::test
