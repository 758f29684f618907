// How the program's heap treats the memory it frees.
#pragma once

namespace zan::app {

// Keeps memory the program frees for its next allocations instead of handing
// it back to the system at once. A session makes and drops large blocks
// again and again (every dialog listing a table of many layers, every
// capture and restore), and memory newly taken from the system costs a page
// fault per page on first use - on some machines more than the work done in
// it. The most memory in use at once stays what it was; what was freed is
// kept for reuse. Called when a session starts.
void keepFreedMemoryForReuse();

}  // namespace zan::app
