#pragma once

#include <QIcon>

namespace tern {

// The product's mark (a tern over a clipboard) at 16, 32, 48 and 64 pixels: pictures rendered at
// build time from the one drawing that the launcher, the windows and the web pages show as well.
// The tray icon, the about dialog and the windows take it from here.
QIcon ProductLogo();

} // namespace tern
