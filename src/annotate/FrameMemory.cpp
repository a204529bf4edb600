#include "annotate/FrameMemory.h"

#if TERN_HAVE_MALLOC_TRIM
#include <malloc.h>
#endif

namespace tern {

void ReturnFreedMemory() noexcept
{
#if TERN_HAVE_MALLOC_TRIM
    malloc_trim(0);
#endif
}

} // namespace tern
