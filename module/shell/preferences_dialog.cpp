#include "shell/preferences_dialog.h"

#include "ads/adslib.h"
#include "resources/dialog_templates.h"
#include "shell/commands.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"

namespace zan {

using namespace resources;

PreferencesDialog::PreferencesDialog() : tk::Dialog(preferencesTemplate()) {
    const ShellState& s = state();
    layerConfigFile_ = s.layerConfigFile;
    modifierFile_ = s.modifierFile;
    separator_ = s.modifierSeparator != '\0' ? std::string(1, s.modifierSeparator) : std::string();
    lastValidSeparator_ = separator_;
}

bool PreferencesDialog::isAllowedSeparator(const std::string& text) {
    return text.empty() || text == "-" || text == "_" || text == "$" || text == "|";
}

bool PreferencesDialog::onInit() {
    setItemText(kPrefLayerConfigFile, layerConfigFile_);
    setItemText(kPrefModifierFile, modifierFile_);
    setTextLimit(kPrefSeparator, 2);
    setItemText(kPrefSeparator, separator_);
    return true;
}

void PreferencesDialog::browse(int editId, std::string& value, const char* title, const char* filter,
                               const char* extension, unsigned flags) {
    tk::FileDialogRequest request;
    request.owner = handle();
    request.title = title;
    request.filter = filter;
    request.defaultExtension = extension;
    request.flags = flags;
    if (auto chosen = tk::platform().openFileDialog(request)) {
        value = *chosen;
        setItemText(editId, value);
    }
}

void PreferencesDialog::onCommand(int controlId, int notification) {
    switch (controlId) {
        case kPrefLayerConfigFile:
            if (notification == tk::EN_CHANGE) layerConfigFile_ = itemText(controlId);
            break;
        case kPrefModifierFile:
            if (notification == tk::EN_CHANGE) modifierFile_ = itemText(controlId);
            break;
        case kPrefSeparator:
            if (notification != tk::EN_CHANGE) break;
            separator_ = itemText(controlId);
            if (isAllowedSeparator(separator_)) {
                lastValidSeparator_ = separator_;
            } else {
                // An invalid character never stays in the field.
                separator_ = lastValidSeparator_;
                setItemText(controlId, separator_);
            }
            break;
        case kPrefBrowseLayerConfigFile:
            if (notification == tk::BN_CLICKED)
                browse(kPrefLayerConfigFile, layerConfigFile_, "Select ZAN Layer File", "LayerFiles (*.Zly)|*.Zly||",
                       "Zly", tk::OFN_HIDEREADONLY);
            break;
        case kPrefBrowseModifierFile:
            if (notification == tk::BN_CLICKED)
                browse(kPrefModifierFile, modifierFile_, "Select ZAN Modifier Bar", "Modifier Bar (*.Zmb)|*.Zmb||",
                       "Zmb", tk::OFN_HIDEREADONLY | tk::OFN_FILEMUSTEXIST | tk::OFN_PATHMUSTEXIST);
            break;
        default: break;
    }
}

void PreferencesDialog::onOK() {
    setLayerConfigFile(layerConfigFile_, 1);
    setModifierFile(modifierFile_);
    if (separator_.size() < 2) state().modifierSeparator = separator_.empty() ? '\0' : separator_[0];
    endDialog(tk::IDOK);
}

int preferencesCommand() {
    PreferencesDialog dialog;
    dialog.runModal(state().hostMainWindow);
    returnFocusToHost();
    return RTNORM;
}

}  // namespace zan
