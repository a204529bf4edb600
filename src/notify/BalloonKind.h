#pragma once

namespace tern {

// The icon a balloon shows. Any other value of the underlying type shows the information icon.
enum class BalloonKind : int { Information = 0, Error = 1, Warning = 2 };

} // namespace tern
