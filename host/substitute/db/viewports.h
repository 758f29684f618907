// Paper space viewports: finding them, making one active, TILEMODE.
#pragma once

#include <vector>

#include "db/database.h"

namespace host {

// The paper space viewports of the drawing in drawing order.
std::vector<RecordId> paperViewports(Database& db);
// The paper sheet viewport (number 1), made when a layout is first shown.
RecordId paperSheetViewport(Database& db);
// Makes a viewport the active one: status 1 for it, 2, 3, ... for the other
// viewports that are on; CVPORT follows.
void activateViewport(Database& db, RecordId viewport);
// Activates the first floating viewport that is on; false when there is none.
bool activateFloatingViewport(Database& db);
// Switches between the model tab (1) and the layout (0).
void setTileMode(Database& db, int value);

}  // namespace host
