#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// `tern key set|clear|status`: the end-to-end passphrase that copy and paste use.
Command MakeKeyCommand(ToolContext& context);

} // namespace tern::tool
