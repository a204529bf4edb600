#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tern::platform::x11 {

// Sends a private message to the top-level window titled `title` (its _NET_WM_NAME, else its
// WM_NAME; mapped or not) on the display of $DISPLAY and waits up to `timeoutMs` for the answer.
// Of several such windows it takes the one whose instance key (X11RemoteProtocol.h) is
// `instanceKey`, else one that has no key; a window with another key is never chosen.
// Uses a connection of its own, so it needs no Qt application and may run in any process; libxcb is
// loaded at run time (XcbLibrary), and tern::Error is thrown when it cannot be.
// Nothing when the display cannot be opened, no window qualifies, or no answer came in time.
std::optional<std::int64_t> SendRemoteMessage(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs,
                                              const std::string& instanceKey);

} // namespace tern::platform::x11
