#include "shell/state.h"

namespace zan {

ShellState& state() {
    static ShellState table;
    return table;
}

void resetInitObjectValues() {
    ShellState& s = state();
    s.levelBitmapDirectory.clear();
    s.configFilesDirectory.clear();
    s.layerConfigFile.clear();
    s.modifierFile.clear();
    s.levelBarRows = 1;
    s.modifierBarWindow = nullptr;
}

}  // namespace zan
