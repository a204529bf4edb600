#pragma once

#include "SqlConnection.h"

namespace tern::server {

// The schema version this server writes. Every change to the tables adds one step to the migrations
// in Schema.cpp and raises this number.
constexpr std::int64_t kSchemaVersion = 2;

// The database was written by a newer server: this one refuses to touch it.
class SchemaTooNewError : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// Brings the database on `connection` to kSchemaVersion in one transaction: creates every table on an
// empty database, adopts a database from before the version table (version 0) and runs each step
// after the stored version. Throws SchemaTooNewError when the stored version is newer than this
// server's. Several servers may start at once: one migrates, the others wait and find it done.
void MigrateSchema(SqlConnection& connection);

// The version stored in the database (0 when it has none yet).
std::int64_t StoredSchemaVersion(SqlConnection& connection);

} // namespace tern::server
