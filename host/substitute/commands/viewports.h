// Paper space viewports: finding them, making one active, TILEMODE.
#pragma once

#include <vector>

#include "db/record.h"

namespace host {
class Host;

// The paper space viewports of the drawing in drawing order.
std::vector<RecordId> paperViewports(Host& host);
// The paper sheet viewport (number 1), made when a layout is first shown.
RecordId paperSheetViewport(Host& host);
// Makes a viewport the active one: status 1 for it, 2, 3, ... for the other
// viewports that are on; CVPORT follows.
void activateViewport(Host& host, RecordId viewport);
// Activates the first floating viewport that is on; false when there is none.
bool activateFloatingViewport(Host& host);
// Switches between the model tab (1) and the layout (0).
void setTileMode(Host& host, int value);

}  // namespace host
