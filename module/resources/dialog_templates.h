// The module's dialog templates, by resource number: controls with their
// identifiers, kinds, labels and styles.
#pragma once

#include "tk/dialog_template.h"

namespace zan::resources {

inline constexpr int kLayerConfigurationEditor = 102;
inline constexpr int kInputDialog = 115;
inline constexpr int kEditModifier = 120;
inline constexpr int kLayerConfigurationSelection = 122;
inline constexpr int kPathSelection = 130;
inline constexpr int kPreferences = 136;

// Control identifiers of the preferences dialog.
inline constexpr int kPrefLayerConfigFile = 1001;
inline constexpr int kPrefBrowseLayerConfigFile = 1002;
inline constexpr int kPrefModifierFile = 1003;
inline constexpr int kPrefBrowseModifierFile = 1004;
inline constexpr int kPrefSeparator = 1005;

tk::DialogTemplate layerConfigurationEditorTemplate();
tk::DialogTemplate inputDialogTemplate();
tk::DialogTemplate editModifierTemplate();
tk::DialogTemplate layerConfigurationSelectionTemplate();
tk::DialogTemplate pathSelectionTemplate();
tk::DialogTemplate preferencesTemplate();

}  // namespace zan::resources
