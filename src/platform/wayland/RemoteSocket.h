#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tern::platform::wayland {

// The channel of private messages to the running copy in a session without an X connection: a Unix
// stream socket in the user's own runtime folder, named after the hidden window's title. A request is
// one RemoteRequest; the answer one std::int64_t; then the connection closes. Only processes of the
// same user are answered.
struct RemoteRequest
{
    std::uint32_t message = 0;
    std::uint32_t reserved = 0;
    std::int64_t wParam = 0;
    std::int64_t lParam = 0;
};
static_assert(sizeof(RemoteRequest) == 24);

// $XDG_RUNTIME_DIR/<title>.remote, or /tmp/<title>-<uid>.remote without a runtime folder; empty when
// the path does not fit a socket address.
std::string RemoteSocketPath(const std::string& title);

// Sends the request to the copy listening for `title` and waits up to `timeoutMs` for the answer;
// nothing when none listens there or no answer came. Needs no GUI application.
std::optional<std::int64_t> SendThroughSocket(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs);

} // namespace tern::platform::wayland
