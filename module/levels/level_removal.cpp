#include "levels/level_removal.h"

#include <algorithm>

#include "shell/state.h"

namespace zan {

void removeLevel(const Level* level) {
    ShellState& s = state();
    s.layerConfigurations.forgetLevel(level);
    auto at = std::find_if(s.levelList.begin(), s.levelList.end(), [&](const auto& l) { return l.get() == level; });
    if (at != s.levelList.end()) s.levelList.erase(at);
}

void clearLevelList() {
    ShellState& s = state();
    s.layerConfigurations.keepLevelsAsNames(s.levelList);
    destroyAll(s.levelList);
}

}  // namespace zan
