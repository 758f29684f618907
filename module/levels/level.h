// A level: the named record that carries one layer-name modifier.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zan {

struct Level {
    std::string name;      // display name and lookup key, compared exactly
    int thawed = 0;        // 1 after its layers were last thawed from the bar, 0 after a freeze
    std::string modifier;  // the layer-name prefix, always upper case
    std::string tag;       // free text carried with the level
};

// The levels known in this drawing, in creation order; owns them.
using LevelList = std::vector<std::unique_ptr<Level>>;

}  // namespace zan
