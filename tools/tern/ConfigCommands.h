#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "config list", "config get KEY", "config set KEY VALUE".
Command MakeConfigCommand(ToolContext& context);

} // namespace tern::tool
