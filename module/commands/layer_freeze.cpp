// xreffreeze and viewportfreeze: freeze the layer of an entity pointed at,
// in the whole drawing or in the current viewport. An entity drawn on layer
// "0" inside a block takes the layer of the reference holding it, so such a
// pick freezes the layer of the innermost container that is not on "0".
#include <string>

#include "ads/adslib.h"
#include "shell/command_echo.h"
#include "shell/commands.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/report.h"

namespace zan {

namespace {

enum class FreezeScope { Drawing, Viewport };

void freezeLayer(FreezeScope scope, const std::string& layer) {
    {
        CommandEchoOff echoOff;
        if (scope == FreezeScope::Drawing)
            ads_command(RTSTR, "layer", RTSTR, "freeze", RTSTR, layer.c_str(), RTSTR, "", 0);
        else
            ads_command(RTSTR, "vplayer", RTSTR, "freeze", RTSTR, layer.c_str(), RTSTR, "", RTSTR, "", 0);
    }
    ads_printf("Layer Frozen is %s\n", layer.c_str());
}

void freezeCommand(FreezeScope scope, const char* prompt) {
    ads_name entity;
    ads_point pick;
    ads_matrix matrix;
    resbuf* chain = nullptr;
    if (ads_nentselp(prompt, entity, pick, 0, matrix, &chain) != RTNORM) {
        ads_printf("Function Canceled.\n");
        return;
    }
    ResbufList containers(chain);
    ResbufList data(ads_entget(entity));
    const char* layer = groupText(data.get(), 8);
    if (!layer) {
        ZAN_ERROR_AT(kModuleLayers);
        return;
    }
    if (!containers || std::string(layer) != "0") {
        freezeLayer(scope, layer);
        return;
    }
    for (const resbuf* link = containers.get(); link; link = link->rbnext) {
        if (link->restype != RTENAME) continue;
        ResbufList reference(ads_entget(link->resval.rlname));
        const char* referenceLayer = groupText(reference.get(), 8);
        if (!referenceLayer) {
            ZAN_ERROR_AT(kModuleLayers);
            return;
        }
        if (std::string(referenceLayer) != "0") {
            freezeLayer(scope, referenceLayer);
            return;
        }
    }
    ads_printf("All entities and sub-entities appear to be on layer 0\n");
}

}  // namespace

int xreffreezeCommand() {
    freezeCommand(FreezeScope::Drawing, "Select entity on layer to freeze.\n");
    return RTNORM;
}

int viewportfreezeCommand() {
    freezeCommand(FreezeScope::Viewport, "Select entity on layer to freeze in viewport.\n");
    return RTNORM;
}

}  // namespace zan
