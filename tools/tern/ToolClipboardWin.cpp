#include "ToolClipboard.h"

#include "platform/PlatformFactory.h"

namespace tern::tool {

std::unique_ptr<platform::SystemClipboard> OpenToolClipboard()
{
    return platform::CreateSystemClipboard();
}

} // namespace tern::tool
