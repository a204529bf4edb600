#pragma once

#include "ServerOptions.h"

#include <string>

namespace tern::server {

// What `tern-server --delete-account EMAIL` prints and returns.
struct AccountRemovalResult
{
    std::string message; // one line for the operator
    int exitCode = 0;    // 0 deleted, 1 no such account or the database failed
};

// Deletes the account `email` and everything it owns from the database the options name (the SQLite
// file in the data folder, or PostgreSQL), in one transaction. A data folder without a database is
// reported, not created. Run as root on a data folder that another user owns, the process becomes
// that user first (for good: it is meant for a process that exits afterwards).
AccountRemovalResult DeleteAccount(const ServerOptions& options, const std::string& email);

} // namespace tern::server
