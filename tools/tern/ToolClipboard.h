#pragma once

#include "platform/Clipboard.h"

#include <memory>

namespace tern::tool {

// The system clipboard for "copy --clipboard" and "paste --clipboard" where the tool can reach one
// without a desktop toolkit (Windows). Throws tern::Error where it cannot.
std::unique_ptr<platform::SystemClipboard> OpenToolClipboard();

} // namespace tern::tool
