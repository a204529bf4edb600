#include "PostgresConnection.h"

#include <memory>

#include <libpq-fe.h>

namespace tern::server {
namespace {

// Type numbers of the built-in types the statements use (fixed in every PostgreSQL release).
constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;
constexpr Oid kTextOid = 25;

// An advisory lock key of this service's schema changes ("tern" in ASCII).
constexpr const char* kSchemaLockKey = "1952805486";

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

std::int64_t bigEndian(const char* bytes, int size)
{
    std::int64_t value = (size > 0 && (static_cast<unsigned char>(bytes[0]) & 0x80) != 0) ? -1 : 0;
    for (int i = 0; i < size; ++i)
        value = static_cast<std::int64_t>((static_cast<std::uint64_t>(value) << 8) |
                                          static_cast<unsigned char>(bytes[i]));
    return value;
}

bool succeeded(const PGresult* result)
{
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

} // namespace

PostgresConnection::PostgresConnection(const std::string& url)
{
    m_connection = PQconnectdb(url.c_str());
    if (m_connection == nullptr)
        throw DatabaseError("cannot connect to the database: out of memory");
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(m_connection);
        PQfinish(m_connection);
        throw DatabaseError("cannot connect to the database: " + message);
    }
    PQsetClientEncoding(m_connection, "UTF8");
    // Notices (such as "relation exists, skipping") are of no use to the server's log.
    PQsetNoticeProcessor(
        m_connection, [](void*, const char*) {}, nullptr);
}

PostgresConnection::~PostgresConnection()
{
    PQfinish(m_connection);
}

void PostgresConnection::fail(const char* operation, const std::string& detail) const
{
    std::string message = detail;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    throw DatabaseError(std::string("database ") + operation + " failed: " + message);
}

bool PostgresConnection::isUsable() const
{
    return PQstatus(m_connection) == CONNECTION_OK;
}

const std::string& PostgresConnection::prepared(std::string_view sql, std::initializer_list<SqlParam> params)
{
    if (const auto found = m_statements.find(sql); found != m_statements.end())
        return found->second;
    // The parameter types follow the C++ values bound, so that the server never has to guess them.
    std::vector<Oid> types;
    for (const SqlParam& param : params) {
        types.push_back(std::holds_alternative<std::int64_t>(param)       ? kInt8Oid
                        : std::holds_alternative<std::string_view>(param) ? kTextOid
                                                                          : kByteaOid);
    }
    const std::string name = "s" + std::to_string(m_statements.size() + 1);
    const std::string text(sql);
    const Result result(
        PQprepare(m_connection, name.c_str(), text.c_str(), static_cast<int>(types.size()), types.data()),
        &PQclear);
    if (!succeeded(result.get()))
        fail("prepare", PQerrorMessage(m_connection));
    return m_statements.emplace(text, name).first->second;
}

std::vector<SqlRow> PostgresConnection::run(std::string_view sql, std::initializer_list<SqlParam> params)
{
    const std::string& name = prepared(sql, params);
    std::vector<std::string> numbers; // integers are sent as decimal text
    numbers.reserve(params.size());
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const SqlParam& param : params) {
        if (const auto* integer = std::get_if<std::int64_t>(&param)) {
            numbers.push_back(std::to_string(*integer));
            values.push_back(numbers.back().c_str());
            lengths.push_back(0);
            formats.push_back(0);
        } else {
            const std::string_view bytes = std::holds_alternative<std::string_view>(param)
                                               ? std::get<std::string_view>(param)
                                               : std::get<SqlBlob>(param).bytes;
            // Texts are sent in binary form too: their bytes as they are, no terminator needed.
            values.push_back(bytes.data() != nullptr ? bytes.data() : "");
            lengths.push_back(static_cast<int>(bytes.size()));
            formats.push_back(1);
        }
    }
    const Result result(PQexecPrepared(m_connection, name.c_str(), static_cast<int>(values.size()),
                                       values.data(), lengths.data(), formats.data(), 1),
                        &PQclear);
    if (!succeeded(result.get()))
        fail("statement", PQerrorMessage(m_connection));

    const int rowCount = PQntuples(result.get());
    const int columnCount = PQnfields(result.get());
    std::vector<SqlRow> rows(static_cast<std::size_t>(rowCount),
                             SqlRow(static_cast<std::size_t>(columnCount)));
    for (int column = 0; column < columnCount; ++column) {
        const Oid type = PQftype(result.get(), column);
        const bool integer = type == kInt8Oid || type == kInt4Oid || type == kInt2Oid;
        for (int row = 0; row < rowCount; ++row) {
            SqlCell& cell = rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            cell.isNull = PQgetisnull(result.get(), row, column) != 0;
            if (cell.isNull)
                continue;
            const char* bytes = PQgetvalue(result.get(), row, column);
            const int size = PQgetlength(result.get(), row, column);
            if (integer)
                cell.integer = bigEndian(bytes, size);
            else
                cell.bytes.assign(bytes, static_cast<std::size_t>(size));
        }
    }
    return rows;
}

void PostgresConnection::runScript(std::string_view script)
{
    const std::string text(script);
    const Result result(PQexec(m_connection, text.c_str()), &PQclear);
    if (!succeeded(result.get()))
        fail("statement", PQerrorMessage(m_connection));
}

void PostgresConnection::beginWrite()
{
    run("BEGIN");
}

void PostgresConnection::lockSchema()
{
    run(std::string("SELECT pg_advisory_xact_lock(") + kSchemaLockKey + ")");
}

} // namespace tern::server
