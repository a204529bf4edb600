#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "digest": the password value of the password read from standard input.
Command MakeDigestCommand(ToolContext& context);

} // namespace tern::tool
