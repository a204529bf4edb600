#include "SqliteConnection.h"

#include <filesystem>

#include <sqlite3.h>

namespace tern::server {
namespace {

// Resets the statement when the rows have been read or reading failed, so that it can be reused and
// holds no read lock.
struct ResetOnExit
{
    sqlite3_stmt* statement;
    ~ResetOnExit()
    {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

} // namespace

SqliteConnection::SqliteConnection(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty() && !fs::exists(folder, error)) {
        if (!fs::create_directories(folder, error))
            throw DatabaseError("cannot create the data folder " + folder.string() + ": " + error.message());
        fs::permissions(folder, fs::perms::owner_all, error);
    }
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw DatabaseError("cannot open the database " + path + ": " + message);
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, error);
    try {
        sqlite3_busy_timeout(m_db, 5000);
        // In write-ahead mode NORMAL syncs at checkpoints rather than at every commit: a crash of the
        // machine may lose the last moments, never the file's consistency, and the request counters
        // written on every login do not each wait for the disk.
        runScript("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON; "
                  "PRAGMA secure_delete = ON;");
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

SqliteConnection::~SqliteConnection()
{
    for (auto& [sql, statement] : m_statements)
        sqlite3_finalize(statement);
    sqlite3_close(m_db);
}

void SqliteConnection::fail(const char* operation) const
{
    throw DatabaseError(std::string("database ") + operation + " failed: " + sqlite3_errmsg(m_db));
}

sqlite3_stmt* SqliteConnection::prepared(std::string_view sql)
{
    if (const auto found = m_statements.find(sql); found != m_statements.end())
        return found->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &statement, nullptr) != SQLITE_OK)
        fail("prepare");
    m_statements.emplace(std::string(sql), statement);
    return statement;
}

std::vector<SqlRow> SqliteConnection::run(std::string_view sql, std::initializer_list<SqlParam> params)
{
    sqlite3_stmt* statement = prepared(sql);
    const ResetOnExit reset{statement};
    int number = 0;
    for (const SqlParam& param : params) {
        // Parameters are written $1, $2, ...: SQLite takes them as names.
        const std::string name = "$" + std::to_string(++number);
        const int index = sqlite3_bind_parameter_index(statement, name.c_str());
        if (index == 0)
            throw DatabaseError("database bind failed: the statement has no parameter " + name);
        int rc = SQLITE_OK;
        if (const auto* integer = std::get_if<std::int64_t>(&param)) {
            rc = sqlite3_bind_int64(statement, index, *integer);
        } else if (const auto* text = std::get_if<std::string_view>(&param)) {
            rc = sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
        } else {
            // A zero-length blob must still be a blob, not NULL: bind a non-null pointer.
            static const char kEmpty = 0;
            const std::string_view bytes = std::get<SqlBlob>(param).bytes;
            rc = sqlite3_bind_blob64(statement, index, bytes.empty() ? &kEmpty : bytes.data(), bytes.size(),
                                     SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            fail("bind");
    }

    std::vector<SqlRow> rows;
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail("step");
        SqlRow& row = rows.emplace_back(static_cast<std::size_t>(sqlite3_column_count(statement)));
        for (int column = 0; column < static_cast<int>(row.size()); ++column) {
            SqlCell& cell = row[static_cast<std::size_t>(column)];
            const int type = sqlite3_column_type(statement, column);
            cell.isNull = type == SQLITE_NULL;
            if (type == SQLITE_INTEGER) {
                cell.integer = sqlite3_column_int64(statement, column);
            } else if (type != SQLITE_NULL) {
                const void* bytes = sqlite3_column_blob(statement, column);
                const int size = sqlite3_column_bytes(statement, column);
                if (bytes != nullptr)
                    cell.bytes.assign(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
            }
        }
    }
    return rows;
}

void SqliteConnection::runScript(std::string_view script)
{
    const std::string text(script);
    char* error = nullptr;
    if (sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw DatabaseError("database statement failed: " + message);
    }
}

void SqliteConnection::beginWrite()
{
    // IMMEDIATE takes the write lock at once (waiting for it), so the transaction never has to give
    // up halfway when another connection wrote first.
    run("BEGIN IMMEDIATE");
}

} // namespace tern::server
