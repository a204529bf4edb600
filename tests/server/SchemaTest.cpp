#include "Schema.h"
#include "Database.h"
#include "PasswordHasher.h"
#include "ServerFixture.h"
#include "SqliteConnection.h"

#include <filesystem>

namespace tern::server::test {
namespace {

// The tables exactly as servers from before the schema version wrote them.
constexpr const char* kUnversionedSchema = R"sql(
CREATE TABLE accounts (
    id            INTEGER PRIMARY KEY,
    email         TEXT NOT NULL UNIQUE COLLATE NOCASE,
    password_hash TEXT NOT NULL,
    created       INTEGER NOT NULL DEFAULT (strftime('%s', 'now'))
);
CREATE TABLE snapshots (
    account_id INTEGER PRIMARY KEY REFERENCES accounts(id) ON DELETE CASCADE,
    data       BLOB NOT NULL,
    updated    INTEGER NOT NULL DEFAULT (strftime('%s', 'now'))
);
CREATE TABLE shares (
    id         INTEGER PRIMARY KEY AUTOINCREMENT,
    access_key TEXT NOT NULL UNIQUE,
    account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    kind       INTEGER NOT NULL,
    data       BLOB NOT NULL,
    created    INTEGER NOT NULL
);
CREATE INDEX shares_by_account ON shares(account_id, id);
)sql";

const std::string kKey = "AbCdEfGhIjKlMnOpQrStUvWx";

// A data folder written by a server from before the schema version: one account with a snapshot
// and a share. The server under test always opens it as SQLite.
class UnversionedDatabase : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.databaseUrl.clear();
        std::filesystem::create_directories(options.dataDir);
        SqliteConnection old(options.dataDir + "/" + Database::kFileName);
        old.runScript(kUnversionedSchema);
        PasswordHasher hasher(options.hashOpsLimit, options.hashMemLimit);
        old.run("INSERT INTO accounts (email, password_hash) VALUES ($1, $2)",
                {std::string_view("Old.User@example.com"), std::string_view(hasher.hash(kPass))});
        old.run("INSERT INTO snapshots (account_id, data) VALUES (1, $1)", {SqlBlob{m_snapshot}});
        old.run("INSERT INTO shares (access_key, account_id, kind, data, created) VALUES ($1, 1, 1, $2, "
                "1700000000)",
                {std::string_view(kKey), SqlBlob{"shared before"}});
    }

    const std::string m_snapshot = Snapshot(2, 40);
};

TEST_F(UnversionedDatabase, OpensWithEverythingInItAndIsMigratedInPlace)
{
    EXPECT_EQ(authStatus("check", "old.user@example.com", kPass), "ok");
    EXPECT_EQ(get("/storage/read.html" + credentials("old.user@example.com", kPass)).body, m_snapshot);
    EXPECT_NE(get("/d/" + kKey + ".html").body.find("shared before"), std::string::npos);
    const RawReply history = get("/cp/history.html?u=old.user%40example.com&p=" + kPass);
    EXPECT_NE(history.body.find("13 bytes"), std::string::npos); // the size column was filled in
    EXPECT_EQ(registerAccount("OLD.USER@example.com"), "error");
    EXPECT_EQ(StoredSchemaVersion(*openStore()), kSchemaVersion);
}

using SchemaVersions = ServerFixture;

TEST_F(SchemaVersions, ANewerDatabaseIsRefusedClearlyAndLeftAlone)
{
    ASSERT_EQ(registerAccount("user@example.com"), "ok");
    openStore()->run("UPDATE schema_version SET version = $1", {kSchemaVersion + 1});
    try {
        TernServer older(options());
        FAIL() << "a server opened a database of a newer schema";
    } catch (const SchemaTooNewError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("newer tern-server"), std::string::npos) << message;
        EXPECT_NE(message.find(std::to_string(kSchemaVersion + 1)), std::string::npos) << message;
    }
    EXPECT_EQ(StoredSchemaVersion(*openStore()), kSchemaVersion + 1);
    EXPECT_EQ(openStore()->run("SELECT email FROM accounts").size(), 1u);
}

} // namespace
} // namespace tern::server::test
