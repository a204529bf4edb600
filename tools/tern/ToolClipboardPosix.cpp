#include "ToolClipboard.h"

#include "util/Errors.h"

namespace tern::tool {

// The X11 clipboard needs the desktop toolkit, which the tool does not link: the desktop program's
// Remote Copy and Remote Paste reach it.
std::unique_ptr<platform::SystemClipboard> OpenToolClipboard()
{
    throw Error("The tool cannot reach the clipboard on this system; use the desktop program or --out.");
}

} // namespace tern::tool
