// The host's heap as the host's own list code uses it: the blocks of
// acad_malloc and acad_free, reached by direct calls inside the library
// (the exported functions are called through the dynamic linker's table,
// a cost paid for every item of every list).
#pragma once

#include <cstddef>

namespace host {

[[gnu::visibility("hidden")]] void* heapAllocate(std::size_t size);
[[gnu::visibility("hidden")]] void heapRelease(void* block);

}  // namespace host
