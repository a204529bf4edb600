#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "container pack|unpack": a payload container from standard input to standard output and back.
Command MakeContainerCommand(ToolContext& context);

} // namespace tern::tool
