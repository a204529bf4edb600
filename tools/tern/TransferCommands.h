#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "copy [FILE|-] [--format N=FILE ...]": uploads a snapshot holding the text as format 13 and the
// raw formats given.
Command MakeCopyCommand(ToolContext& context);
// "paste [--out DIR]": downloads the stored snapshot, prints its text; with --out writes every format.
Command MakePasteCommand(ToolContext& context);

} // namespace tern::tool
