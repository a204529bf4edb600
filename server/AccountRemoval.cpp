#include "AccountRemoval.h"

#include "Database.h"
#include "SqlConnection.h"

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace tern::server {

namespace {

// Run as root on the service's SQLite file, the deletion acts as the owner of the data folder, so
// that the journal files it leaves behind stay the service's to open.
bool actAsOwnerOf(const std::string& folder)
{
    struct stat status
    {
    };
    if (::geteuid() != 0 || ::stat(folder.c_str(), &status) != 0 || status.st_uid == 0)
        return true;
    return ::setgid(status.st_gid) == 0 && ::setuid(status.st_uid) == 0;
}

} // namespace

AccountRemovalResult DeleteAccount(const ServerOptions& options, const std::string& email)
{
    if (options.databaseUrl.empty() &&
        !std::filesystem::exists(std::filesystem::path(options.dataDir) / Database::kFileName))
        return {"tern-server: there is no database in " + options.dataDir +
                    "; name the service's data folder with --data DIR or its database with --database URL",
                1};
    if (options.databaseUrl.empty() && !actAsOwnerOf(options.dataDir))
        return {"tern-server: cannot act as the owner of " + options.dataDir + "; nothing was deleted", 1};
    try {
        Database database(options.databaseUrl, options.dataDir);
        const auto shares = database.deleteAccount(email);
        if (!shares)
            return {"tern-server: there is no account " + email + "; nothing was deleted", 1};
        return {"tern-server: deleted the account " + email + ", its stored clipboard and " +
                    std::to_string(*shares) + (*shares == 1 ? " share" : " shares"),
                0};
    } catch (const DatabaseError& e) {
        return {std::string("tern-server: the account was not deleted: ") + e.what(), 1};
    }
}

} // namespace tern::server
