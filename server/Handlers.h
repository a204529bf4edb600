#pragma once

#include "Authenticator.h"
#include "Database.h"
#include "ServerOptions.h"
#include "SharedItems.h"
#include "WallClock.h"
#include "http/Router.h"

#include <optional>
#include <string>
#include <string_view>

namespace tern::server {

// What the request handlers share; owned by TernServer, which outlives every request.
struct ServerContext
{
    Database& database;
    Authenticator& authenticator;
    const ServerOptions& options;
    const WallClock& clock;
};

// The creation time from which shares are still kept (those made earlier have expired).
std::int64_t KeptSince(const ServerContext& context);
// The largest body of an upload: the largest share payload and room for the multipart framing.
constexpr std::size_t kMaxUploadBodyBytes = kMaxShareBytes + std::size_t{64} * 1024;

// The one "data" part of an upload, whatever its file name; nullopt when the body is not multipart
// or holds no such part or more than one.
std::optional<std::string> SingleDataPart(const HttpRequest& req);

// The head check of the upload paths: the credentials in the query must be accepted before a large
// body is read, so that nobody without an account can hold the server's body memory. On refusal the
// reply is the one the upload itself would get. The check is cheap for credentials that passed a
// moment ago, and failed ones count against the same limits as every other check.
bool UploaderAdmitted(ServerContext& context, const HttpRequest& head, HttpResponse& res);

// The status word for refused credentials ("denied" or "locked"), empty when they were accepted.
std::string_view CredentialFailure(const AuthResult& result);

// /index.php/auth/validate, /index.php/auth/check, /index.php/auth/register
void RegisterAuthHandlers(Router& server, ServerContext& context);
// /storage/save.html, /storage/read.html
void RegisterStorageHandlers(Router& server, ServerContext& context);
// /storage/share.html, /d/KEY.html and the raw items, /cp/history.html, /cp/delete.html
void RegisterShareHandlers(Router& server, ServerContext& context);
// /start/check.html, /start/download.html, /start/forgot.html, /help/, /, /style.css
void RegisterStartHandlers(Router& server, ServerContext& context);

} // namespace tern::server
