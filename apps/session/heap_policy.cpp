#include "session/heap_policy.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace zan::app {

void keepFreedMemoryForReuse() {
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
    // Blocks below 32 MB come from the heap rather than from mappings of
    // their own (which are returned to the system when freed), and free
    // memory at the heap's end is kept up to 256 MB.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

}  // namespace zan::app
