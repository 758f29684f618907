// The line a restore prints when it is done: how many layers it froze,
// thawed and turned on. The counts come from the layer table (and, for a
// restore to viewports, each viewport's list of frozen layers) read before
// and after the restore, so they say what changed, not what was asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ads/adslib.h"

namespace zan {

struct RestoreCounts {
    long frozen = 0;
    long thawed = 0;
    long turnedOn = 0;
};

// The frozen and on state of every layer, in table order.
class LayerStates {
public:
    static LayerStates read();
    // What changed from `before` to this state.
    RestoreCounts changesSince(const LayerStates& before) const;

private:
    // A layer is known by a hash of its name: the states are compared by
    // table position, and by name only if the table changed its order.
    struct Layer {
        std::size_t name = 0;
        bool frozen = false;
        bool on = true;
    };
    std::vector<Layer> layers_;
};

// The frozen layers of each viewport of a selection set, in set order.
class ViewportFreezes {
public:
    static ViewportFreezes read(const int64_t* viewports);
    // Freezes and thaws from `before` to this state, counted per viewport
    // (a layer frozen in two viewports counts twice).
    void addChangesSince(const ViewportFreezes& before, RestoreCounts& counts) const;

private:
    std::vector<std::vector<std::string>> frozen_;  // sorted names per viewport
};

// "Layer configuration "<name>" restored: 3 layers frozen, 2 thawed, 1 turned on."
// (`where` names viewports, e.g. " to 2 viewports"; empty for model space).
void printRestoreReport(const std::string& name, const std::string& where, const RestoreCounts& counts);

}  // namespace zan
