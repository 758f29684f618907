// ZANPreview and ZANRestore: a layer configuration named on the command
// line, from the drawing's configuration file or from another one, shown
// as what its restore would do (ZANPreview, which changes nothing) or
// restored (ZANRestore, for scripts and batch runs: no dialog is shown).
// Both ask, in order:
//   Layer configuration file <current>:   Enter: the drawing's own
//   Layer configuration name:
//   Restore to [Model space/Viewports] <Model space>:
// and for viewports the viewports to use, as the restore does (the
// layouts' own paper space viewports are left out).
#include <utility>

#include "ads/adslib.h"
#include "laycfg/configuration_file.h"
#include "laycfg/restore.h"
#include "laycfg/restore_plan.h"
#include "levels/modifier_file_levels.h"
#include "shell/commands.h"
#include "shell/drawing_paths.h"
#include "shell/host_lists.h"
#include "shell/state.h"

namespace zan {

namespace {

// The configurations of a named file in place of the drawing's while the
// command runs; the drawing's list is put back afterwards.
class NamedFile {
public:
    ~NamedFile() {
        if (!active_) return;
        state().layerConfigurations.clear();
        std::swap(state().layerConfigurations, kept_);
    }
    bool open(const std::string& path) {
        std::swap(state().layerConfigurations, kept_);
        active_ = true;
        return readConfigurationFile(path) != 0;
    }

private:
    LayerConfigurationList kept_;
    bool active_ = false;
};

struct Request {
    LayerConfiguration* configuration = nullptr;
    bool viewports = false;
};

// Asks for the file, the name and the target; RTNORM with the request, or
// the status that ended it (after saying why).
int ask(NamedFile& named, Request& request) {
    ShellState& s = state();
    if (s.modifierBarWindow == nullptr && s.levelList.empty()) loadLevelsFromModifierFile();
    if (s.initObjectMade) ads_printf("The drawing had no ZAN initialization object; one was made.\n");
    s.initObjectMade = false;

    char text[ADS_MAX_STRING] = "";
    const std::string filePrompt =
        "Layer configuration file <" + (s.layerConfigFile.empty() ? std::string("none") : s.layerConfigFile) + ">: ";
    int status = ads_getstring(1, filePrompt.c_str(), text);
    if (status != RTNORM && status != RTNONE) return status;
    if (text[0] != '\0') {
        if (!named.open(resolveDrawingPath(text))) {
            ads_printf("The layer configuration file %s could not be read.\n", text);
            return RTERROR;
        }
    } else if (s.layerConfigurations.empty()) {
        if (s.layerConfigFile.empty()) {
            ads_printf("The drawing names no layer configuration file.\n");
            return RTERROR;
        }
        if (!readConfigurationFile(resolveDrawingPath(s.layerConfigFile))) return RTERROR;
    }

    status = ads_getstring(1, "Layer configuration name: ", text);
    if (status != RTNORM && status != RTNONE) return status;
    request.configuration = s.layerConfigurations.findByName(text);
    if (!request.configuration) {
        ads_printf("No layer configuration is named \"%s\".\n", text);
        return RTERROR;
    }

    ads_initget(0, "Model Viewports");
    status = ads_getkword("Restore to [Model space/Viewports] <Model space>: ", text);
    if (status != RTNORM && status != RTNONE) return status;
    request.viewports = status == RTNORM && text[0] == 'V';
    return RTNORM;
}

// Leaves out the layouts' own paper space viewports (number 1), which show
// the sheet and no model: a selection of everything holds them too.
bool keepFloatingViewports(SelectionSet& viewports) {
    for (long i = viewports.length() - 1; i >= 0; --i) {
        ads_name entity;
        if (!viewports.member(i, entity)) continue;
        ResbufList data(ads_entget(entity));
        if (resbuf* number = findGroup(data.get(), 69); number && number->resval.rint == 1)
            ads_ssdel(entity, viewports.name());
    }
    if (viewports.length() > 0) return true;
    ads_printf("No Viewport entities found.");
    return false;
}

bool chooseFloatingViewports(SelectionSet& viewports) {
    return chooseViewports(viewports) && keepFloatingViewports(viewports);
}

}  // namespace

int zanPreviewCommand() {
    NamedFile named;
    Request request;
    if (ask(named, request) != RTNORM) return RTNORM;
    if (request.viewports) {
        SelectionSet viewports;
        if (chooseFloatingViewports(viewports)) printRestorePlan(planViewports(*request.configuration, viewports.name()));
    } else {
        printRestorePlan(planModelSpace(*request.configuration));
    }
    return RTNORM;
}

int zanRestoreCommand() {
    NamedFile named;
    Request request;
    if (ask(named, request) != RTNORM) return RTNORM;
    auto reportMissing = [](const RestorePlan& plan) {
        for (const std::string& name : plan.missingLevels)
            ads_printf("No level %s is loaded; its layers take no part.\n", name.c_str());
    };
    if (request.viewports) {
        SelectionSet viewports;
        if (!chooseFloatingViewports(viewports)) return RTNORM;
        const RestorePlan plan = planViewports(*request.configuration, viewports.name());
        reportMissing(plan);
        applyViewports(*request.configuration, plan, viewports.name());
    } else {
        RestorePlan plan = planModelSpace(*request.configuration);
        reportMissing(plan);
        if (applyModelSpace(*request.configuration, plan)) keepRestoredTable(plan);
    }
    return RTNORM;
}

}  // namespace zan
