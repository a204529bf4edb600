#pragma once

#include <QIcon>

namespace tern {

// The product logo of the about dialog: a rounded blue square with a white "T", drawn at 16, 32,
// 48 and 64 pixels.
QIcon AboutLogo();

} // namespace tern
