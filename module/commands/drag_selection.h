// Placing a selection set that copytomod or movetomod worked on: the user
// drags it from a base point to its new location, or moves it a fixed step
// with the keywords Previous (+120 along Y) and Invert (-120 along Y).
#pragma once

#include "ads/adslib.h"

namespace zan {

// True when the entities were placed or left where they are; false when the
// user cancelled or the host refused the drag or the transformation.
bool dragSelection(const ads_name selectionSet);

}  // namespace zan
