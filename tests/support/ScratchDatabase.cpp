#include "support/ScratchDatabase.h"

#include <atomic>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include <libpq-fe.h>
#include <unistd.h>

namespace tern::test {
namespace {

void runOn(const std::string& server, const std::string& statement)
{
    PGconn* connection = PQconnectdb(server.c_str());
    std::string error;
    if (PQstatus(connection) != CONNECTION_OK) {
        error = PQerrorMessage(connection);
    } else {
        PQsetNoticeProcessor(
            connection, [](void*, const char*) {}, nullptr);
        PGresult* result = PQexec(connection, statement.c_str());
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            error = PQerrorMessage(connection);
        PQclear(result);
    }
    PQfinish(connection);
    if (!error.empty())
        throw std::runtime_error("test database: " + statement + ": " + error);
}

} // namespace

ScratchDatabase::ScratchDatabase()
{
    const char* server = std::getenv(kTestDatabaseVariable);
    if (server == nullptr || *server == '\0')
        return;
    static std::atomic<int> counter{0};
    m_server = server;
    m_schema = "test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter) + "_" +
               std::to_string(std::random_device{}() % 1000000);
    runOn(m_server, "CREATE SCHEMA " + m_schema);
    m_url = m_server + (m_server.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" +
            m_schema;
}

ScratchDatabase::~ScratchDatabase()
{
    if (m_schema.empty())
        return;
    try {
        runOn(m_server, "DROP SCHEMA " + m_schema + " CASCADE");
    } catch (const std::exception&) {
        // A schema left behind goes with the test cluster.
    }
}

} // namespace tern::test
