// Deleting levels without leaving anything that points at them: layer
// configurations refer to levels without owning them.
#pragma once

#include "levels/level.h"

namespace zan {

// Every configuration forgets the level; then the level is unlinked from
// the level list and destroyed if it is there (a default level of a new bar
// is not, and belongs to its button).
void removeLevel(const Level* level);

// Destroys every level of the list. The configurations keep the names of the
// levels they referred to as unresolved names, as they keep names of levels
// that were never loaded, so that their file is written back unchanged.
void clearLevelList();

}  // namespace zan
