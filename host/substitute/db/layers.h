// Layer table services shared by the LAYER command, entity creation and CLAYER.
#pragma once

#include <string_view>

#include "db/database.h"

namespace host {

// Layer flags (group 70) and the colour sign that marks a layer off.
constexpr int kLayerFrozen = 1;
constexpr int kLayerLocked = 4;

RecordId findLayer(const Database& db, std::string_view name);
// Makes a layer with the standard properties (colour 7, CONTINUOUS) if the
// drawing has none of that name; returns it.
RecordId ensureLayer(Database& db, std::string_view name);
bool layerFrozen(const Record& layer);
bool layerOff(const Record& layer);
// Makes a layer current; false when it does not exist or is frozen.
bool setCurrentLayer(Database& db, std::string_view name);

}  // namespace host
