#include "laycfg/restore.h"

#include <cstring>

#include "ads/adslib.h"
#include "laycfg/restore_plan.h"
#include "laycfg/restore_report.h"
#include "levels/levels.h"
#include "shell/command_echo.h"
#include "shell/host_lists.h"
#include "shell/services.h"
#include "shell/state.h"

namespace zan {

namespace {

constexpr const char* kModuleLaycfg = "laycfg";

// A host argument list built item by item.
class ArgumentList {
public:
    bool text(const char* value) {
        resbuf* rb = ads_newrb(RTSTR);
        if (!rb) return fail();
        rb->resval.rstring = acad__strdup(value);
        link(rb);
        return rb->resval.rstring ? true : fail();
    }
    bool text(const std::string& value) { return text(value.c_str()); }
    bool selection(const int64_t* set) {
        resbuf* rb = ads_newrb(RTPICKS);
        if (!rb) return fail();
        rb->resval.rlname[0] = set[0];
        rb->resval.rlname[1] = set[1];
        link(rb);
        return true;
    }
    bool ok() const { return ok_; }
    const resbuf* list() const { return head_.get(); }

private:
    void link(resbuf* rb) {
        if (!head_) head_.reset(rb);
        else tail_->rbnext = rb;
        tail_ = rb;
    }
    bool fail() { return ok_ = false; }
    ResbufList head_;
    resbuf* tail_ = nullptr;
    bool ok_ = true;
};

std::string levelPrefix(const Level& level) { return level.modifier + separatorText(); }

// Shared chunking: `text` gives an entry's list text, `cost` the length the
// limit test adds for it.
template <typename Items, typename Text, typename Cost>
std::vector<std::string> split(const Items& items, Text text, Cost cost, std::vector<std::string>* tooLong) {
    std::vector<std::string> out;
    std::string list;
    for (const auto& item : items) {
        std::size_t c = cost(item);
        if (!(c < kChunkLimit)) {
            // It would not fit in a list of its own either.
            if (tooLong) tooLong->push_back(text(item));
            continue;
        }
        if (!(list.size() + c < kChunkLimit)) {
            out.push_back(std::move(list));
            list.clear();
        }
        list += text(item);
    }
    if (!list.empty() || out.empty()) out.push_back(std::move(list));
    return out;
}

void reportTooLong(const std::vector<std::string>& tooLong) {
    for (const std::string& entry : tooLong)
        ads_printf("Layer configuration entry %s is too long for the layer command and was skipped.\n",
                   entry.c_str());
}

bool addPairs(ArgumentList& args, const char* keyword, const std::vector<std::string>& lists,
              const int64_t* selection) {
    for (const std::string& list : lists) {
        args.text(keyword);
        args.text(list);
        if (selection) {
            args.text("select");
            args.selection(selection);
            args.text("");
        }
    }
    return args.ok();
}

}  // namespace

std::vector<std::string> modifierChunks(const std::vector<Level*>& levels, std::vector<std::string>* tooLong) {
    return split(
        levels,
        [](const Level* level) {
            std::string p = levelPrefix(*level);
            return p + "*,*|" + p + "*,";
        },
        [](const Level* level) { return 2 * levelPrefix(*level).size(); }, tooLong);
}

std::vector<std::string> layerChunks(const std::vector<std::string>& names, std::vector<std::string>* tooLong) {
    return split(
        names, [](const std::string& name) { return name + ","; },
        [](const std::string& name) { return name.size(); }, tooLong);
}

void restoreToModelSpace(LayerConfiguration& configuration) {
    RestorePlan plan = planModelSpace(configuration);
    if (applyModelSpace(configuration, plan)) keepRestoredTable(plan);
}

bool applyModelSpace(LayerConfiguration& configuration, const RestorePlan& plan) {
    ShellState& s = state();
    resbuf regenMode{};
    int rememberedRegen = 1;
    if (ads_getvar("REGENMODE", &regenMode) == RTNORM) rememberedRegen = regenMode.resval.rint;

    CommandEchoOff echoOff;
    ads_setvar("REGENMODE", &s.cmdEchoOff);
    bool sent = ads_command(RTSTR, "layer", RTSTR, "set", RTSTR, "0", RTSTR, "on", RTSTR, "*", RTSTR, "", 0) == RTNORM;
    if (configuration.undefinedLayerOption == LayerConfiguration::Freeze)
        sent = ads_command(RTSTR, "layer", RTSTR, "freeze", RTSTR, "~0", RTSTR, "", 0) == RTNORM && sent;
    else if (configuration.undefinedLayerOption != LayerConfiguration::NoAction)
        sent = ads_command(RTSTR, "layer", RTSTR, "thaw", RTSTR, "*", RTSTR, "", 0) == RTNORM && sent;

    std::vector<std::string> tooLong;
    ArgumentList args;
    args.text("Layer");
    addPairs(args, "Freeze", modifierChunks(configuration.excludedModifiers, &tooLong), nullptr);
    addPairs(args, "Thaw", modifierChunks(configuration.includedModifiers, &tooLong), nullptr);
    addPairs(args, "Freeze", layerChunks(configuration.excludedLayers, &tooLong), nullptr);
    addPairs(args, "Thaw", layerChunks(configuration.includedLayers, &tooLong), nullptr);
    args.text("");
    if (!args.ok()) {
        ads_printf("Error : %s, %d\n", kModuleLaycfg, 675);
        return false;
    }
    reportTooLong(tooLong);
    sent = ads_cmd(args.list()) == RTNORM && sent;

    if (configuration.restoresUcs())
        ads_command(RTSTR, "_.UCS", RTSTR, "Restore", RTSTR, configuration.ucsName.c_str(), 0);
    if (configuration.restoresView())
        ads_command(RTSTR, "_.View", RTSTR, "Restore", RTSTR, configuration.viewName.c_str(), RTSTR, "yes", 0);
    ads_command(RTSTR, "regenauto", RTSTR, "ON", 0);
    if (rememberedRegen != 1) {
        resbuf value{};
        value.restype = RTSHORT;
        value.resval.rint = static_cast<short>(rememberedRegen);
        ads_setvar("REGENMODE", &value);
    }
    configuration.setRestoredFlag(1);
    printRestoreReport(configuration.name, "", plan.counts());
    return sent;
}

bool restoreToViewports(LayerConfiguration& configuration) {
    SelectionSet viewports;
    if (!chooseViewports(viewports)) return false;
    return applyViewports(configuration, planViewports(configuration, viewports.name()), viewports.name());
}

bool chooseViewports(SelectionSet& viewports) {
    resbuf tileMode{};
    if (ads_getvar("TILEMODE", &tileMode) != RTNORM || tileMode.resval.rint != 0) {
        ads_printf("You must be in Paperspace in order to assign layers to Viewports.");
        return false;
    }
    returnFocusToHost();
    ads_command(RTSTR, "PSPACE", 0);

    // Group 0 is written RTDXF0 in a list: a type of 0 would end the list
    // at once and leave the selection unfiltered.
    ResbufList filter(ads_buildlist(RTDXF0, "VIEWPORT", 0));
    if (viewports.select(nullptr, nullptr, nullptr, filter.get()) != RTNORM) return false;
    if (viewports.length() <= 0) {
        ads_printf("No Viewport entities found.");
        return false;
    }
    return true;
}

bool applyViewports(const LayerConfiguration& configuration, const RestorePlan& plan, const int64_t* set) {
    CommandEchoOff echoOff;
    ads_command(RTSTR, "_.layer", RTSTR, "on", RTSTR, "*", RTSTR, "", 0);
    if (configuration.undefinedLayerOption == LayerConfiguration::Freeze)
        ads_command(RTSTR, "_.vplayer", RTSTR, "freeze", RTSTR, "~0", RTSTR, "select", RTPICKS, set, RTSTR, "",
                    RTSTR, "", 0);
    else if (configuration.undefinedLayerOption != LayerConfiguration::NoAction)
        ads_command(RTSTR, "vplayer", RTSTR, "thaw", RTSTR, "*", RTSTR, "select", RTPICKS, set, RTSTR, "", RTSTR,
                    "", 0);

    // Single layers take part only when the drawing has a layer of exactly that name.
    auto existing = [&](const std::vector<std::string>& names) { return namesInTable(plan.table, names); };

    std::vector<std::string> tooLong;
    ArgumentList args;
    args.text("VPLayer");
    if (!configuration.excludedModifiers.empty())
        addPairs(args, "Freeze", modifierChunks(configuration.excludedModifiers, &tooLong), set);
    if (!configuration.includedModifiers.empty())
        addPairs(args, "Thaw", modifierChunks(configuration.includedModifiers, &tooLong), set);
    if (auto frozen = existing(configuration.excludedLayers); !frozen.empty())
        addPairs(args, "Freeze", layerChunks(frozen, &tooLong), set);
    if (auto thawed = existing(configuration.includedLayers); !thawed.empty())
        addPairs(args, "Thaw", layerChunks(thawed, &tooLong), set);
    args.text("");
    if (!args.ok()) {
        ads_printf("Error : %s, %d\n", kModuleLaycfg, 1010);
        return false;
    }
    reportTooLong(tooLong);
    ads_cmd(args.list());
    const std::size_t count = plan.viewports.size();
    printRestoreReport(configuration.name, " to " + std::to_string(count) + (count == 1 ? " viewport" : " viewports"),
                       plan.counts());
    return true;
}

}  // namespace zan
