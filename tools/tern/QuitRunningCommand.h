#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "quit-running": asks the desktop program running on this display to quit and says in words whether
// it accepted (exit status 0), refused or was not found (1).
Command MakeQuitRunningCommand(ToolContext& context);

} // namespace tern::tool
