#pragma once

#include <string>

namespace tern::server {

// What to tell the operator when the server cannot listen on `where` ("HOST:PORT" or "unix:PATH")
// because of the system error `error` (an errno value): what went wrong and what to do about it.
std::string ListenErrorText(const std::string& where, int error);

} // namespace tern::server
