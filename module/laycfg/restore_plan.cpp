#include "laycfg/restore_plan.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "ads/adslib.h"
#include "laycfg/capture.h"
#include "laycfg/name_patterns.h"
#include "laycfg/restore.h"
#include "levels/levels.h"
#include "shell/host_lists.h"
#include "shell/state.h"

namespace zan {

namespace {

std::string upperText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Symbol names compared as the host compares them: ASCII letters in either case.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

bool hasWildcards(std::string_view text) { return text.find_first_of("*?#@.[~`") != std::string_view::npos; }

// The steps of a restore's name lists, in the order the host carries them
// out: the undefined-layer option, then the four groups.
enum Step : int { kUndefined = 0, kExcludedModifiers = 1, kIncludedModifiers = 2, kExcludedLayers = 3,
                  kIncludedLayers = 4 };

void addModifiers(StepPatterns& patterns, const std::vector<Level*>& levels, int step, bool freeze,
                  std::vector<std::string>& tooLong) {
    for (const Level* level : levels) {
        const std::string prefix = level->modifier + separatorText();
        if (!(2 * prefix.size() < kChunkLimit)) {
            tooLong.push_back(prefix + "*,*|" + prefix + "*,");
            continue;
        }
        patterns.add(prefix + "*", step, freeze);
        patterns.add("*|" + prefix + "*", step, freeze);
    }
}

void addLayers(StepPatterns& patterns, const std::vector<std::string>& names, int step, bool freeze,
               std::vector<std::string>& tooLong) {
    for (const std::string& name : names) {
        if (!(name.size() < kChunkLimit)) {
            tooLong.push_back(name + ",");
            continue;
        }
        patterns.add(name, step, freeze);
    }
}

void addUndefinedOption(StepPatterns& patterns, const LayerConfiguration& configuration) {
    if (configuration.undefinedLayerOption == LayerConfiguration::Freeze) patterns.add("~0", kUndefined, true);
    else if (configuration.undefinedLayerOption != LayerConfiguration::NoAction)
        patterns.add("*", kUndefined, false);
}

// Asks the host for each single layer of the configuration (symbol names
// ignore case), so that the check costs a lookup per name, not a pass over
// the whole table.
std::vector<std::string> missingSingleLayers(const LayerConfiguration& configuration) {
    std::vector<std::string> out;
    for (const auto* list : {&configuration.excludedLayers, &configuration.includedLayers})
        for (const std::string& name : *list) {
            if (hasWildcards(name)) continue;
            ResbufList entry(ads_tblsearch("LAYER", name.c_str(), 0));
            if (!entry) out.push_back(name);
        }
    return out;
}

std::vector<std::string> missingLevels(const LayerConfiguration& configuration) {
    std::vector<std::string> out = configuration.unresolvedExcludedModifiers;
    out.insert(out.end(), configuration.unresolvedIncludedModifiers.begin(),
               configuration.unresolvedIncludedModifiers.end());
    return out;
}

std::string currentLayerName() {
    resbuf value{};
    if (ads_getvar("CLAYER", &value) != RTNORM || value.restype != RTSTR || !value.resval.rstring) return "0";
    std::string out = value.resval.rstring;
    acad_free(value.resval.rstring);
    return out;
}

// A viewport's number and its list of frozen layers.
struct ViewportState {
    std::string label;
    std::vector<std::string> frozen;
};

std::vector<ViewportState> readViewports(const int64_t* viewports) {
    std::vector<ViewportState> out;
    long length = 0;
    if (ads_sslength(viewports, &length) != RTNORM) return out;
    ResbufList applications(ads_buildlist(RTSTR, "ACAD", 0));
    for (long i = 0; i < length; ++i) {
        ViewportState& state = out.emplace_back();
        state.label = "viewport " + std::to_string(i + 1);
        ads_name viewport;
        if (!applications || ads_ssname(viewports, i, viewport) != RTNORM) continue;
        ResbufList data(ads_entgetx(viewport, applications.get()));
        if (resbuf* number = findGroup(data.get(), 69)) state.label = "viewport " + std::to_string(number->resval.rint);
        for (resbuf* item = findGroup(data.get(), 1003); item != nullptr && item->restype != 1002; item = item->rbnext)
            if (item->restype == 1003 && item->resval.rstring != nullptr) state.frozen.emplace_back(item->resval.rstring);
    }
    return out;
}

// The layer table as the last restore to model space left it, and the
// drawing's revision right after that restore.
struct KeptTable {
    std::string revision;
    std::vector<PlannedLayer> layers;
};

KeptTable& keptTable() {
    static KeptTable kept;
    return kept;
}

// The kept table when the drawing has not changed since it was kept, else
// the table read through the host; the kept table is used up either way.
std::vector<PlannedLayer> layerTableForPlan() {
    KeptTable& kept = keptTable();
    std::vector<PlannedLayer> out;
    if (!kept.revision.empty() && kept.revision == drawingRevision()) out.swap(kept.layers);
    else out = readLayerTable();
    forgetRestoredTable();
    return out;
}

}  // namespace

void keepRestoredTable(RestorePlan& plan) {
    forgetRestoredTable();
    if (plan.toViewports || plan.frozenAfter.size() != plan.table.size()) return;
    for (std::size_t i = 0; i < plan.table.size(); ++i) {
        plan.table[i].frozen = plan.frozenAfter[i] != 0;
        plan.table[i].on = true;  // the restore turns every layer on
    }
    KeptTable& kept = keptTable();
    kept.revision = drawingRevision();
    if (!kept.revision.empty()) kept.layers = std::move(plan.table);
}

bool restoredTableKept() {
    const KeptTable& kept = keptTable();
    return !kept.revision.empty() && kept.revision == drawingRevision();
}

void forgetRestoredTable() {
    KeptTable& kept = keptTable();
    kept.revision.clear();
    kept.layers.clear();
}

std::vector<PlannedLayer> readLayerTable() {
    // Room for as many layers as the last read found, so that a large table
    // is not moved from buffer to buffer as it grows.
    static std::size_t lastCount = 0;
    std::vector<PlannedLayer> out;
    out.reserve(lastCount);
    for (ResbufList entry(ads_tblnext("LAYER", 1)); entry; entry.reset(ads_tblnext("LAYER", 0))) {
        resbuf* name = findGroup(entry.get(), 2);
        if (!name || !name->resval.rstring) continue;
        resbuf* flags = findGroup(entry.get(), 70);
        resbuf* color = findGroup(entry.get(), 62);
        out.push_back({name->resval.rstring, flags != nullptr && (flags->resval.rint & 1) != 0,
                       color == nullptr || color->resval.rint >= 0});
    }
    lastCount = out.size();
    return out;
}

std::vector<std::string> namesInTable(const std::vector<PlannedLayer>& table, const std::vector<std::string>& names) {
    std::unordered_set<std::string_view> wanted(names.begin(), names.end());
    std::unordered_set<std::string_view> found;
    for (const PlannedLayer& layer : table)
        if (wanted.count(layer.name)) found.insert(layer.name);
    std::vector<std::string> out;
    for (const std::string& n : names)
        if (found.count(n)) out.push_back(n);
    return out;
}

RestoreCounts RestorePlan::counts() const {
    RestoreCounts c;
    if (toViewports) {
        for (const ViewportPlan& v : viewports) {
            c.frozen += static_cast<long>(v.freezes.size());
            c.thawed += static_cast<long>(v.thaws.size());
        }
    } else {
        c.frozen = static_cast<long>(freezes.size());
        c.thawed = static_cast<long>(thaws.size());
    }
    c.turnedOn = static_cast<long>(turnsOn.size());
    return c;
}

RestorePlan planModelSpace(const LayerConfiguration& configuration) {
    RestorePlan plan;
    plan.configuration = configuration.name;
    plan.table = layerTableForPlan();

    // "layer set 0" makes layer 0 current unless it is frozen; the current
    // layer is never frozen.
    std::string current = currentLayerName();
    for (const PlannedLayer& layer : plan.table)
        if (layer.name == "0" && !layer.frozen) current = layer.name;

    StepPatterns patterns;
    addUndefinedOption(patterns, configuration);
    addModifiers(patterns, configuration.excludedModifiers, kExcludedModifiers, true, plan.tooLong);
    addModifiers(patterns, configuration.includedModifiers, kIncludedModifiers, false, plan.tooLong);
    addLayers(patterns, configuration.excludedLayers, kExcludedLayers, true, plan.tooLong);
    addLayers(patterns, configuration.includedLayers, kIncludedLayers, false, plan.tooLong);

    plan.frozenAfter.reserve(plan.table.size());
    for (const PlannedLayer& layer : plan.table) {
        if (!layer.on) plan.turnsOn.push_back(layer.name);
        StepPatterns::Last last = patterns.match(layer.name);
        if (sameName(layer.name, current)) last.freeze = -1;
        const bool frozen = last.freeze < 0 && last.thaw < 0 ? layer.frozen : last.freeze > last.thaw;
        plan.frozenAfter.push_back(frozen ? 1 : 0);
        if (frozen && !layer.frozen) plan.freezes.push_back(layer.name);
        else if (!frozen && layer.frozen) plan.thaws.push_back(layer.name);
    }
    if (configuration.restoresUcs()) plan.ucs = configuration.ucsName;
    if (configuration.restoresView()) plan.view = configuration.viewName;
    plan.missingLayers = missingSingleLayers(configuration);
    plan.missingLevels = missingLevels(configuration);
    return plan;
}

RestorePlan planViewports(const LayerConfiguration& configuration, const int64_t* viewports) {
    RestorePlan plan;
    plan.configuration = configuration.name;
    plan.toViewports = true;
    plan.table = readLayerTable();

    // Single layers take part only when the drawing has a layer of exactly that name.
    auto existing = [&](const std::vector<std::string>& names) { return namesInTable(plan.table, names); };
    StepPatterns patterns;
    addUndefinedOption(patterns, configuration);
    addModifiers(patterns, configuration.excludedModifiers, kExcludedModifiers, true, plan.tooLong);
    addModifiers(patterns, configuration.includedModifiers, kIncludedModifiers, false, plan.tooLong);
    addLayers(patterns, existing(configuration.excludedLayers), kExcludedLayers, true, plan.tooLong);
    addLayers(patterns, existing(configuration.includedLayers), kIncludedLayers, false, plan.tooLong);

    // What every viewport shares: each layer's last steps, its name in upper
    // case, and whether an earlier layer of the same name came first (only
    // the first of a name takes part).
    std::vector<StepPatterns::Last> lasts;
    std::vector<std::string> keys;
    std::vector<char> first;
    lasts.reserve(plan.table.size());
    keys.reserve(plan.table.size());
    first.reserve(plan.table.size());
    std::unordered_set<std::string_view> tableKeys;
    for (const PlannedLayer& layer : plan.table) {
        if (!layer.on) plan.turnsOn.push_back(layer.name);
        lasts.push_back(patterns.match(layer.name));
        keys.push_back(upperText(layer.name));
    }
    for (const std::string& key : keys) first.push_back(tableKeys.insert(key).second ? 1 : 0);
    for (ViewportState& state : readViewports(viewports)) {
        ViewportPlan& v = plan.viewports.emplace_back();
        v.label = state.label;
        std::unordered_set<std::string> frozen;
        for (const std::string& name : state.frozen) frozen.insert(upperText(name));
        for (std::size_t i = 0; i < plan.table.size(); ++i) {
            const StepPatterns::Last& last = lasts[i];
            if (!first[i]) continue;
            if (last.freeze < 0 && last.thaw < 0) continue;
            const bool was = frozen.count(keys[i]) != 0;
            const bool now = last.freeze > last.thaw;
            if (now && !was) v.freezes.push_back(plan.table[i].name);
            else if (!now && was) v.thaws.push_back(plan.table[i].name);
        }
        // Frozen names the table does not have can only be thawed.
        std::unordered_set<std::string> seen;
        for (const std::string& name : state.frozen) {
            std::string key = upperText(name);
            if (tableKeys.count(key) || !seen.insert(key).second) continue;
            if (patterns.match(name).thaw >= 0) v.thaws.push_back(name);
        }
    }
    plan.missingLayers = missingSingleLayers(configuration);
    plan.missingLevels = missingLevels(configuration);
    return plan;
}

namespace {

// Finds the level a layer belongs to: the longest level prefix (modifier and
// separator) it begins with, after any external-reference name.
class LevelFinder {
public:
    LevelFinder() {
        const std::string separator = separatorText();
        for (const auto& level : state().levelList) {
            const std::string prefix = upperText(level->modifier + separator);
            if (prefix.empty() || !byPrefix_.emplace(prefix, level.get()).second) continue;
            if (std::find(lengths_.begin(), lengths_.end(), prefix.size()) == lengths_.end())
                lengths_.push_back(prefix.size());
        }
        std::sort(lengths_.rbegin(), lengths_.rend());
    }
    // Null for a layer of no level.
    const Level* find(const std::string& layer) const {
        const std::string upper = upperText(layer);
        const std::size_t bar = upper.rfind('|');
        const std::string own = bar == std::string::npos ? upper : upper.substr(bar + 1);
        for (std::size_t length : lengths_) {
            if (length > own.size()) continue;
            if (auto it = byPrefix_.find(own.substr(0, length)); it != byPrefix_.end()) return it->second;
        }
        return nullptr;
    }

private:
    std::unordered_map<std::string, const Level*> byPrefix_;
    std::vector<std::size_t> lengths_;  // longest first
};

struct Grouped {
    std::vector<std::string> lists[3];
};

// "      to freeze (3): A-WALL, A-DOOR, ..." wrapped to lines of about 110
// characters, the names of the following lines indented.
void printList(const char* what, const std::vector<std::string>& names) {
    if (names.empty()) return;
    constexpr std::size_t kWidth = 110;
    std::string line = "      " + std::string(what) + " (" + std::to_string(names.size()) + "):";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string item = " " + names[i] + (i + 1 < names.size() ? "," : "");
        if (line.size() + item.size() > kWidth && line.size() > 8) {
            ads_printf("%s\n", line.c_str());
            line = "       ";
        }
        line += item;
    }
    ads_printf("%s\n", line.c_str());
}

// The layers of up to three lists by level, the levels in list order and
// the layers of no level last.
void printByLevel(const char* const labels[3], const std::vector<std::string>* lists[3]) {
    const LevelFinder levels;
    std::unordered_map<const Level*, Grouped> groups;
    for (int k = 0; k < 3; ++k)
        if (lists[k])
            for (const std::string& name : *lists[k]) groups[levels.find(name)].lists[k].push_back(name);
    auto print = [&](const Level* level, const Grouped& g) {
        if (level)
            ads_printf("    Level %s (%s%s):", level->name.c_str(), level->modifier.c_str(), separatorText().c_str());
        else
            ads_printf("    Layers of no level:");
        for (int k = 0; k < 3; ++k)
            if (lists[k]) ads_printf(" %zu %s%s", g.lists[k].size(), labels[k], k < 2 && lists[k + 1] ? "," : "");
        ads_printf("\n");
        for (int k = 0; k < 3; ++k) printList(labels[k], g.lists[k]);
    };
    for (const auto& level : state().levelList)
        if (auto it = groups.find(level.get()); it != groups.end()) print(level.get(), it->second);
    if (auto it = groups.find(nullptr); it != groups.end()) print(nullptr, it->second);
}

}  // namespace

void printRestorePlan(const RestorePlan& plan) {
    const RestoreCounts c = plan.counts();
    const std::string where = plan.toViewports ? " to " + std::to_string(plan.viewports.size()) +
                                                     (plan.viewports.size() == 1 ? " viewport" : " viewports")
                                               : " to model space";
    ads_printf("Restoring layer configuration \"%s\"%s would freeze %ld layer%s, thaw %ld, turn on %ld.\n",
               plan.configuration.c_str(), where.c_str(), c.frozen, c.frozen == 1 ? "" : "s", c.thawed, c.turnedOn);
    if (!plan.toViewports) {
        static const char* const labels[3] = {"to freeze", "to thaw", "to turn on"};
        const std::vector<std::string>* lists[3] = {&plan.freezes, &plan.thaws, &plan.turnsOn};
        printByLevel(labels, lists);
        ads_printf("  UCS: %s\n", plan.ucs.empty() ? "not restored" : ("restores \"" + plan.ucs + "\"").c_str());
        ads_printf("  View: %s\n", plan.view.empty() ? "not restored" : ("restores \"" + plan.view + "\"").c_str());
    } else {
        if (!plan.turnsOn.empty()) {
            static const char* const labels[3] = {"to turn on", "", ""};
            const std::vector<std::string>* lists[3] = {&plan.turnsOn, nullptr, nullptr};
            ads_printf("  All layers: %zu to turn on\n", plan.turnsOn.size());
            printByLevel(labels, lists);
        }
        for (const ViewportPlan& v : plan.viewports) {
            ads_printf("  In %s: %zu to freeze, %zu to thaw\n", v.label.c_str(), v.freezes.size(), v.thaws.size());
            static const char* const labels[3] = {"to freeze", "to thaw", ""};
            const std::vector<std::string>* lists[3] = {&v.freezes, &v.thaws, nullptr};
            printByLevel(labels, lists);
        }
    }
    for (const std::string& name : plan.missingLayers)
        ads_printf("  The drawing has no layer %s.\n", name.c_str());
    for (const std::string& name : plan.missingLevels)
        ads_printf("  No level %s is loaded; its layers take no part.\n", name.c_str());
    for (const std::string& entry : plan.tooLong)
        ads_printf("  Entry %s is too long for the layer command and would be skipped.\n", entry.c_str());
}

}  // namespace zan
