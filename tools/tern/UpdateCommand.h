#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "check-update": asks the service whether a newer build exists; prints "uptodate", "outdated" or
// "no answer", then the message of the reply.
Command MakeCheckUpdateCommand(ToolContext& context);

} // namespace tern::tool
