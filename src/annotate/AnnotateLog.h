#pragma once

#include <QLoggingCategory>

namespace tern {

// Messages of the area selector and its palette ("tern.annotate"); debug messages carry timings.
Q_DECLARE_LOGGING_CATEGORY(lcAnnotate)

} // namespace tern
