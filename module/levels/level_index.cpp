#include "levels/level_index.h"

namespace zan {

LevelIndex::LevelIndex(const LevelList& levels) {
    for (const auto& level : levels) add(*level);
}

Level* LevelIndex::find(std::string_view name) const {
    Level* const* found = byName_.find(name);
    return found ? *found : nullptr;
}

void LevelIndex::add(Level& level) {
    Level*& slot = byName_[level.name];
    if (slot == nullptr) slot = &level;
}

}  // namespace zan
