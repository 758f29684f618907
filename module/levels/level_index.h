// Levels looked up by name in one step, for the paths that look up one level
// per line of a file or a list (a modifier bar file, a configuration file,
// the editor's lists) and would otherwise walk the level list for each.
// Open addressing over (hash, level) pairs in one flat array: the names stay
// in the levels, so indexing one makes no copy and no node of its own.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "levels/level.h"

namespace zan {

class LevelIndex {
public:
    // Indexes the levels as they are now; while the index is in use the
    // levels keep their names, and a level appended to the list is added.
    explicit LevelIndex(const LevelList& levels);

    // The first level in list order whose name equals `name` exactly, or null.
    Level* find(std::string_view name) const;
    // A level appended to the list after the index was made (an earlier
    // level of the same name keeps the name).
    void add(Level& level);

private:
    struct Slot {
        std::size_t hash = 0;
        Level* level = nullptr;  // null: free
    };
    std::size_t mask() const { return slots_.size() - 1; }
    void grow(std::size_t size);

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

}  // namespace zan
