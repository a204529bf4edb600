#pragma once

#include <functional>

namespace tern::platform {

// Calls `handler` on the GUI thread, through the event loop, when the session ends the program (a
// termination request from the session or the system). Install once, after the GUI application
// object exists.
void InstallSessionEndHandler(std::function<void()> handler);

} // namespace tern::platform
