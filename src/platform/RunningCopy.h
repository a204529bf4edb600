#pragma once

#include <cstdint>

namespace tern::platform {

// What another process uses to reach the running desktop program: the title of its hidden main
// window (RemoteControl::listen) and the private message that asks it to quit. The quit request
// carries the message value in both parameters, which marks it as meant; the running copy answers
// the same value when it accepts.
inline constexpr const char* kMainWindowTitle = "TernClipboardStarted";
inline constexpr std::uint32_t kQuitMessage = 0x49F;

} // namespace tern::platform
