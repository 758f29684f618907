// Levels looked up by name in one step, for the paths that look up one level
// per line of a file or a list (a modifier bar file, a configuration file,
// the editor's lists) and would otherwise walk the level list for each.
#pragma once

#include <string_view>

#include "levels/level.h"
#include "text/text_table.h"

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
    ascii::TextTable<Level*> byName_;
};

}  // namespace zan
