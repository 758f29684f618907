#include "levels/level_layers.h"

#include <cstdlib>

#include "ads/adslib.h"
#include "shell/command_echo.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"

namespace zan {

bool ComposeLevelLayer(std::string_view root, std::string& out) {
    out = state().activeModifierPrefix + std::string(root);
    if (out.size() > kLayerNameLimit) {
        messageBox("Layer name  " + out + "  is longer than 127 characters.\n", tk::MB_OK);
        return false;
    }
    ResbufList layer(ads_tblsearch("LAYER", out.c_str(), 0));
    if (!layer) {
        messageBox("Layer  " + out + "  does not exist in this drawing.\n", tk::MB_OK);
        return false;
    }
    resbuf* flags = findGroup(layer.get(), 70);
    if (flags && (flags->resval.rint & (1 | 4)) != 0) {
        messageBox("Layer  " + out + "  is frozen or locked.\n", tk::MB_OK);
        return false;
    }
    return true;
}

bool EnsureLayerLike(const std::string& oldLayer, const std::string& newLayer) {
    if (ResbufList existing(ads_tblsearch("LAYER", newLayer.c_str(), 0)); existing) return true;
    ResbufList old(ads_tblsearch("LAYER", oldLayer.c_str(), 0));
    if (!old) return false;
    // A layer that is off keeps a negative colour; the new layer takes the
    // colour itself (the host refuses a negative colour number).
    resbuf* color = findGroup(old.get(), 62);
    short colorNumber = static_cast<short>(color ? std::abs(color->resval.rint) : 7);
    if (colorNumber == 0) colorNumber = 7;
    const char* linetype = groupText(old.get(), 6);
    std::string linetypeName = linetype ? linetype : "Continuous";
    CommandEchoOff echoOff;
    ads_command(RTSTR, "Layer", RTSTR, "new", RTSTR, newLayer.c_str(), 0);
    ads_command(RTSTR, "color", RTSHORT, colorNumber, RTSTR, newLayer.c_str(), 0);
    ads_command(RTSTR, "ltype", RTSTR, linetypeName.c_str(), RTSTR, newLayer.c_str(), RTSTR, "", 0);
    return true;
}

}  // namespace zan
