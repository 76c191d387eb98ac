#include "platform/memory_tuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace korvane {

void keepLargeBuffersForReuse() {
#if defined(__GLIBC__)
    // Buffers up to 32 MB (the largest threshold glibc accepts) come from the
    // heap, and up to 256 MB of free heap stay with the process.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

}  // namespace korvane
