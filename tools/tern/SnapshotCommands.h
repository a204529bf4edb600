#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "snapshot pack|list|unpack": clipboard snapshot streams from and to files.
Command MakeSnapshotCommand(ToolContext& context);

} // namespace tern::tool
