// ZAN_Symbol_Insert: inserts the symbol a click left pending, through the
// host's own insert command so that the user places it. Around it: the
// block is loaded from the bar's block directory when the drawing lacks it,
// the current layer becomes the symbol's layer on the current level, scale
// and rotation are preset from the bar, and the reference can be exploded.
#include <sys/stat.h>

#include <cstring>

#include "ads/adslib.h"
#include "levels/level_layers.h"
#include "shell/command_echo.h"
#include "shell/commands.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/services.h"
#include "shell/state.h"
#include "shell/tolerance.h"
#include "symbols/insert_command_list.h"
#include "symbols/layered_block_copy.h"
#include "symbols/pending_insertion.h"
#include "symbols/symbol_bar.h"
#include "tk/platform.h"
#include "shell/drawing_paths.h"

namespace zan {

namespace {

bool blockExists(const std::string& name) { return ResbufList(ads_tblsearch("BLOCK", name.c_str(), 0)) != nullptr; }

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Defines the block from its drawing file in the bar's block directory:
// the insert command reads the file, and the command is then cancelled
// before a reference is placed. False (with a message) when there is no file.
bool loadBlock(const SymbolBar& bar, const std::string& block) {
    const std::string path = resolveDrawingPath(bar.blockDirectory()) + block + ".dwg";
    if (!fileExists(path)) {
        messageBox("File " + path + " \ncould not be inserted.\nCheck the path settings for the symbol bar.",
                   tk::MB_OK);
        return false;
    }
    CommandEchoOff echoOff;
    ads_command(RTSTR, "insert", RTSTR, path.c_str(), 0);
    ads_command(0);
    return true;
}

// The current layer changed for the insertion, put back when it ends.
class CurrentLayerChange {
public:
    // Makes the level's layer of `root` current; no change (with the
    // message of the check or of the refusal) when it cannot be used.
    explicit CurrentLayerChange(const std::string& root) {
        std::optional<std::string> current = textVariable("CLAYER");
        if (!current) return;
        std::string layer;
        if (!ComposeLevelLayer(root, layer)) return;
        resbuf value{};
        value.restype = RTSTR;
        value.resval.rstring = layer.data();
        if (ads_setvar("CLAYER", &value) != RTNORM) {
            messageBox("Unable to set Layer  " + layer + "  as current layer.", tk::MB_OK);
            return;
        }
        saved_ = std::move(*current);
    }
    ~CurrentLayerChange() {
        if (!saved_) return;
        resbuf value{};
        value.restype = RTSTR;
        value.resval.rstring = saved_->data();
        ads_setvar("CLAYER", &value);
    }
    CurrentLayerChange(const CurrentLayerChange&) = delete;
    CurrentLayerChange& operator=(const CurrentLayerChange&) = delete;

private:
    std::optional<std::string> saved_;
};

// A scale factor of a reference; 1 when the group is missing.
double scaleFactor(resbuf* data, int code) {
    const resbuf* item = findGroup(data, code);
    return item ? item->resval.rreal : 1.0;
}

bool sameEntity(const ads_name a, const ads_name b) { return a[0] == b[0] && a[1] == b[1]; }

// Explodes the reference the insertion made. `before` is the drawing's last
// entity before the insertion: when it is still the last, the user placed
// nothing and nothing is exploded.
void explodeInserted(const std::string& name, const ads_name before) {
    ResbufList block(ads_tblsearch("BLOCK", name.c_str(), 0));
    resbuf* flags = findGroup(block.get(), 70);
    if (flags && (flags->resval.rint & 2) != 0) {
        ads_printf("\nCannot explode blocks w/ Attributes.");
        return;
    }
    ads_name last;
    if (ads_entlast(last) != RTNORM || sameEntity(last, before)) return;
    ResbufList data(ads_entget(last));
    const char* type = groupText(data.get(), 0);
    if (!data || !type || std::strcmp(type, "INSERT") != 0) return;
    const double x = scaleFactor(data.get(), 41);
    const double y = scaleFactor(data.get(), 42);
    const double z = scaleFactor(data.get(), 43);
    if (CompareWithTolerance(x, y) != 0 || CompareWithTolerance(x, z) != 0) {
        ads_printf("\nCannot explode non-uniformly scaled blocks.");
        return;
    }
    ads_command(RTSTR, "_.explode", RTENAME, last, 0);
}

// The root layer name of automatic layering: the symbol's own, else the
// bar's default; empty when neither is set.
const std::string& layerRoot(const SymbolBar& bar, const SymbolButton& symbol) {
    return symbol.layerName.empty() ? bar.defaultLayer : symbol.layerName;
}

void insertSymbol(SymbolBar& bar, const SymbolButton& symbol) {
    if (!blockExists(symbol.blockName) && !loadBlock(bar, symbol.blockName)) return;

    const bool autoLayer = bar.option(SymbolBar::kAutoLayer);
    const std::string name =
        autoLayer && symbol.searchSubEntities == 1 ? LayeredBlockCopy(symbol.blockName) : symbol.blockName;

    std::optional<CurrentLayerChange> layerChange;
    if (autoLayer && !layerRoot(bar, symbol).empty()) layerChange.emplace(layerRoot(bar, symbol));

    InsertPresets presets;
    if (bar.option(SymbolBar::kAutoRotate)) presets.rotation = bar.values.rotation;
    if (bar.option(SymbolBar::kAutoScale)) presets.scale = bar.values;
    ResbufList command = buildInsertCommand(name, presets);
    if (!command) return;
    // The bar may be closed while the user answers the insert command's
    // prompts: what is needed of it afterwards is taken now.
    const bool explode = bar.option(SymbolBar::kExplode);

    ads_name before{0, 0};
    ads_entlast(before);
    setCmdEcho(true);
    ads_cmd(command.get());
    command.reset();
    setCmdEcho(false);

    if (explode) explodeInserted(name, before);
}

}  // namespace

int symbolInsertFunction() {
    // Typed by the user with no click pending, the function does nothing.
    if (std::optional<PendingInsertion> pending = takePendingInsertion())
        insertSymbol(*pending->bar, *pending->symbol);
    return RTNORM;
}

}  // namespace zan
