// The line a restore prints when it is done: how many layers it froze,
// thawed and turned on. The counts come from the restore's plan
// (restore_plan.h), which compares each layer's state before the restore
// with the state the restore leaves, so they say what changed, not what was
// asked for.
#pragma once

#include <string>

namespace zan {

struct RestoreCounts {
    long frozen = 0;
    long thawed = 0;
    long turnedOn = 0;
};

// "Layer configuration "<name>" restored: 3 layers frozen, 2 thawed, 1 turned on."
// (`where` names viewports, e.g. " to 2 viewports"; empty for model space).
void printRestoreReport(const std::string& name, const std::string& where, const RestoreCounts& counts);

}  // namespace zan
