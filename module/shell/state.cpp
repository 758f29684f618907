#include "shell/state.h"

namespace zan {

ShellState& state() {
    static ShellState table;
    return table;
}

}  // namespace zan
