// The module's process-wide state: one table, owned by the shell, reset at
// each drawing's initialization.
#pragma once

#include <array>
#include <string>

#include "ads/adslib.h"
#include "laycfg/layer_configuration.h"
#include "levels/level.h"

namespace zan {

class ModifierBarWindow;  // the open modifier bar (levels/modifier_bar_window.h)

struct ShellState {
    HWND hostMainWindow = nullptr;
    bool drawingInitialized = false;
    // The drawing had no initialization object when the module first ran
    // in it; one was made (with empty file names).
    bool initObjectMade = false;
    resbuf cmdEchoOff{};  // CMDECHO 0, set before host commands the module sends
    resbuf cmdEchoOn{};   // CMDECHO 1, set after them
    char modifierSeparator = '-';  // '\0' means no separator
    std::string activeModifierPrefix;
    ModifierBarWindow* modifierBarWindow = nullptr;
    LevelList levelList;
    LayerConfigurationList layerConfigurations;

    // Values of the drawing's initialization object.
    std::string levelBitmapDirectory;
    int levelBarRows = 1;
    std::string configFilesDirectory;
    std::string layerConfigFile;
    std::string modifierFile;

    std::string pocheRootName = "POCHE";
    double pocheWallWidth = 3.5;
    double pocheInset = 0.125;
    std::array<double, 3> dragBasePoint{0, 0, 0};
    std::array<double, 3> dragPointA{0, 120, 0};
    std::array<double, 3> dragPointB{0, -120, 0};
    // While a selection is dragged: the base point picked and the matrix of
    // the last cursor position (translation in the fourth column).
    std::array<double, 3> dragPickedPoint{0, 0, 0};
    std::array<std::array<double, 4>, 4> dragMatrix{};
};

ShellState& state();

// Empties the initialization-object values (row count 1) and forgets the modifier bar.
void resetInitObjectValues();

// Empties a list of owned elements, destroying the last element first.
template <typename List>
void destroyAll(List& list) {
    while (!list.empty()) list.pop_back();
}

// Sets CMDECHO from one of the two prepared values.
inline void setCmdEcho(bool on) { ads_setvar("CMDECHO", on ? &state().cmdEchoOn : &state().cmdEchoOff); }

}  // namespace zan
