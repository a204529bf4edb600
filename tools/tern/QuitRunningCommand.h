#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "quit-running": asks the desktop program running on this display to quit, prints its answer.
Command MakeQuitRunningCommand(ToolContext& context);

} // namespace tern::tool
