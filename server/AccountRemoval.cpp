#include "AccountRemoval.h"

#include "Database.h"
#include "SqlConnection.h"

#include <filesystem>

namespace tern::server {

AccountRemovalResult DeleteAccount(const ServerOptions& options, const std::string& email)
{
    if (options.databaseUrl.empty() &&
        !std::filesystem::exists(std::filesystem::path(options.dataDir) / Database::kFileName))
        return {"tern-server: there is no database in " + options.dataDir +
                    "; name the service's data folder with --data DIR or its database with --database URL",
                1};
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
