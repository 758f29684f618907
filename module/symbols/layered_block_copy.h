// A copy of a block for the current level: the block's definition made
// again under the name prefix + block, with each entity that does not lie on
// layer "0" moved to the current level's layer of the same root name.
#pragma once

#include <string>

namespace zan {

// The name of the block to insert: the copy (made now, or an existing one
// reused), or `block` itself when no copy can or need be made (no entity off
// layer "0", a refusal of the host, a name longer than the module's buffers).
std::string LayeredBlockCopy(const std::string& block);

}  // namespace zan
