#include "SqliteStatement.h"

#include <sqlite3.h>

namespace tern::server {
namespace {

[[noreturn]] void fail(sqlite3* db, const char* operation)
{
    throw DatabaseError(std::string("database ") + operation + " failed: " + sqlite3_errmsg(db));
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr) != SQLITE_OK)
        fail(db, "prepare");
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text)
{
    if (sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) !=
        SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, std::string_view bytes)
{
    // A zero-length blob must still be a blob, not NULL: bind a non-null pointer.
    static const char kEmpty = 0;
    const char* data = bytes.empty() ? &kEmpty : bytes.data();
    if (sqlite3_bind_blob64(m_statement, index, data, bytes.size(), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(m_db, "step");
}

void SqliteStatement::run()
{
    while (step()) {
    }
}

std::int64_t SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::string SqliteStatement::columnText(int column) const
{
    const unsigned char* text = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (text == nullptr)
        return {};
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
}

std::string SqliteStatement::columnBlob(int column) const
{
    const void* blob = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (blob == nullptr)
        return {};
    return std::string(static_cast<const char*>(blob), static_cast<std::size_t>(size));
}

void ExecuteSql(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw DatabaseError("database statement failed: " + message);
    }
}

} // namespace tern::server
