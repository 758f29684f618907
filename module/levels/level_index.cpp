#include "levels/level_index.h"

#include "text/text_hash.h"

namespace zan {

LevelIndex::LevelIndex(const LevelList& levels) {
    std::size_t size = 16;
    while (size < 2 * levels.size()) size *= 2;
    grow(size);
    for (const auto& level : levels) add(*level);
}

Level* LevelIndex::find(std::string_view name) const {
    const std::size_t h = ascii::hashText(name);
    for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
        const Slot& s = slots_[i];
        if (s.level == nullptr) return nullptr;
        if (s.hash == h && s.level->name == name) return s.level;
    }
}

void LevelIndex::add(Level& level) {
    if (2 * (count_ + 1) > slots_.size()) grow(2 * slots_.size());
    const std::size_t h = ascii::hashText(level.name);
    for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
        Slot& s = slots_[i];
        if (s.level == nullptr) {
            s = Slot{h, &level};
            ++count_;
            return;
        }
        if (s.hash == h && s.level->name == level.name) return;  // the earlier level keeps the name
    }
}

void LevelIndex::grow(std::size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    for (const Slot& s : old) {
        if (s.level == nullptr) continue;
        std::size_t i = s.hash & mask();
        while (slots_[i].level != nullptr) i = (i + 1) & mask();
        slots_[i] = s;
    }
}

}  // namespace zan
