#include "levels/level_index.h"

namespace zan {

LevelIndex::LevelIndex(const LevelList& levels) {
    byName_.reserve(levels.size());
    for (const auto& level : levels) add(*level);
}

Level* LevelIndex::find(std::string_view name) const {
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

void LevelIndex::add(Level& level) { byName_.emplace(level.name, &level); }

}  // namespace zan
