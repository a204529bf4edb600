#pragma once

#include <string>

namespace tern::platform::x11 {

// The private messages between processes, carried as X client messages of format 32.
// A request goes to the listening window with the type atom kRemoteMessageAtom and the items
// [0] message, [1] wParam, [2] lParam (both as 32-bit signed values), [3] the sender's window.
// The answer goes to the sender's window with the type atom kRemoteReplyAtom and the items
// [0] message, [1] the result (32-bit signed).
inline constexpr const char* kRemoteMessageAtom = "_TERN_PRIVATE_MESSAGE";
inline constexpr const char* kRemoteReplyAtom = "_TERN_PRIVATE_REPLY";

// Several users' copies can listen on one display under the same title. The listening window carries
// this property (type STRING) naming the user's copy; a sender picks the window whose key equals its
// own, else a window without the property, and never a window with another key.
inline constexpr const char* kInstanceKeyAtom = "_TERN_INSTANCE_KEY";

// The key of this user's copy: a hash of the path of the user's settings file, the file the running
// copy saves at its end. Every process of one user computes the same value; another HOME or
// XDG_CONFIG_HOME gives another one. 16 lower-case hexadecimal characters.
std::string SessionInstanceKey();

} // namespace tern::platform::x11
