// The dlconfig command: loads the levels and the layer configuration file
// when needed, runs the selection dialog (with viewport restores and
// captures between its showings) and writes the file back when anything
// changed.
#include "ads/adslib.h"
#include "laycfg/configuration_file.h"
#include "laycfg/restore.h"
#include "laycfg/selection_dialog.h"
#include "levels/modifier_file_levels.h"
#include "shell/commands.h"
#include "shell/services.h"
#include "shell/state.h"

namespace zan {

int dlconfigCommand() {
    ShellState& s = state();
    // Levels first, so that the modifier names of the file resolve.
    if (s.modifierBarWindow == nullptr && s.levelList.empty()) loadLevelsFromModifierFile();

    LayerConfigurationSelectionDialog dialog;
    if (s.layerConfigFile.empty() || s.layerConfigurations.empty()) loadConfigurationFile(s.layerConfigFile);

    for (bool again = true; again;) {
        switch (dialog.show()) {
            case LayerConfigurationSelectionDialog::kEndRestoreToViewport:
                if (LayerConfiguration* selected = dialog.selectedConfiguration()) restoreToViewports(*selected);
                break;
            case LayerConfigurationSelectionDialog::kEndViewportCapture:
                if (LayerConfigurationEditor* editor = dialog.editor()) editor->captureFromViewport();
                break;
            default: again = false; break;
        }
    }
    dialog.closeEditor();

    // Cancel keeps what was changed: the flag is honoured either way.
    if (dialog.modified() && !saveConfigurationFile(s.layerConfigFile))
        messageBox("Layer Configurations will not be written to a file!!", tk::MB_OK);
    returnFocusToHost();
    return RTNORM;
}

}  // namespace zan
