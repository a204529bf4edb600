#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "share [FILE|-]": shares text, or a PNG, JPEG or BMP picture converted as a clipboard picture is,
// and prints the link.
Command MakeShareCommand(ToolContext& context);

} // namespace tern::tool
