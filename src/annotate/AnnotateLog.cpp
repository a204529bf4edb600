#include "annotate/AnnotateLog.h"

namespace tern {

Q_LOGGING_CATEGORY(lcAnnotate, "tern.annotate")

} // namespace tern
