// What restoring a layer configuration does, computed before anything is
// sent: from the configuration and the layer table (read once through the
// host), the layers the restore freezes, thaws and turns on, the UCS and
// view it restores, and for a restore to viewports each viewport's
// freezes and thaws. The restore applies the host commands and reports from
// the plan; the preview prints the plan without sending anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "laycfg/layer_configuration.h"
#include "laycfg/restore_report.h"

namespace zan {

// One layer of the table as the plan read it.
struct PlannedLayer {
    std::string name;
    bool frozen = false;
    bool on = true;
};

struct ViewportPlan {
    std::string label;                 // "viewport 2" (its number in the drawing)
    std::vector<std::string> freezes;  // layers newly frozen in it
    std::vector<std::string> thaws;    // layers no longer frozen in it
};

struct RestorePlan {
    std::string configuration;
    bool toViewports = false;
    std::vector<PlannedLayer> table;  // the layer table before the restore
    // Layers whose global state changes, in table order.
    std::vector<std::string> freezes;
    std::vector<std::string> thaws;
    std::vector<std::string> turnsOn;
    std::string ucs;   // empty: none restored
    std::string view;  // empty: none restored
    std::vector<ViewportPlan> viewports;
    // Name list entries no host command can take (reported, skipped).
    std::vector<std::string> tooLong;
    // Single layers of the configuration that the drawing does not have.
    std::vector<std::string> missingLayers;
    // Levels the configuration names that are not loaded (take no part).
    std::vector<std::string> missingLevels;
    // Model space: whether each layer of `table` is frozen once the restore is done.
    std::vector<char> frozenAfter;

    RestoreCounts counts() const;
};

// Reads the layer table through the host, in table order.
std::vector<PlannedLayer> readLayerTable();

// The names of `names` that a layer of the table has exactly (letter case
// included), in the order of `names`.
std::vector<std::string> namesInTable(const std::vector<PlannedLayer>& table, const std::vector<std::string>& names);

// Plans a restore to model space. The layer table comes from the one the
// last restore to model space left (see keepRestoredTable) while the
// drawing's revision (DBREVISION) says nothing changed since, else it is
// read through the host.
RestorePlan planModelSpace(const LayerConfiguration& configuration);
// Keeps the layer table as a restore to model space that was carried out
// leaves it (every layer on, frozen as planned; `plan.table` is taken), with
// the drawing's revision of now, for the next plan. A host without
// DBREVISION gives no revision, and nothing is kept.
void keepRestoredTable(RestorePlan& plan);
// Forgets the kept table (the next plan reads the table through the host).
void forgetRestoredTable();
// True when the next plan would start from the kept table.
bool restoredTableKept();
RestorePlan planViewports(const LayerConfiguration& configuration, const int64_t* viewports);

// The plan on the command line, grouped by level with counts.
void printRestorePlan(const RestorePlan& plan);

}  // namespace zan
