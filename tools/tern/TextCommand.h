#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "text SECTION KEY": the interface text in the current language, with the English fallback.
Command MakeTextCommand(ToolContext& context);

} // namespace tern::tool
