#pragma once

namespace tern::platform::x11 {

// The private messages between processes, carried as X client messages of format 32.
// A request goes to the listening window with the type atom kRemoteMessageAtom and the items
// [0] message, [1] wParam, [2] lParam (both as 32-bit signed values), [3] the sender's window.
// The answer goes to the sender's window with the type atom kRemoteReplyAtom and the items
// [0] message, [1] the result (32-bit signed).
inline constexpr const char* kRemoteMessageAtom = "_TERN_PRIVATE_MESSAGE";
inline constexpr const char* kRemoteReplyAtom = "_TERN_PRIVATE_REPLY";

} // namespace tern::platform::x11
