// The templates of the symbol bar's dialogs: New Symbol and the three
// settings dialogs of the option strip.
#pragma once

#include "tk/dialog_template.h"

namespace zan::resources {

inline constexpr int kNewSymbol = 103;
inline constexpr int kAutoScaling = 116;
inline constexpr int kAutoRotation = 117;
inline constexpr int kAutoLayerName = 118;

tk::DialogTemplate newSymbolTemplate();
tk::DialogTemplate autoScalingTemplate();
tk::DialogTemplate autoRotationTemplate();
tk::DialogTemplate autoLayerNameTemplate();

}  // namespace zan::resources
