#pragma once

#include <string>

class QWidget;

namespace tern::test {

// Saves a picture of `widget`, as it is drawn now, as `fileName` in $TERN_ARTIFACTS_DIR; does
// nothing when that variable is not set. Returns the path written, or "".
std::string SaveScreenshot(QWidget& widget, const std::string& fileName);

} // namespace tern::test
