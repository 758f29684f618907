// Shared helpers of the ADS function definitions.
#pragma once

#include "core/host.h"

namespace host::ads {

// The host the calls go to; every ads_* function fails (RTERROR or null)
// when no host is running.
inline Host* theHost() { return Host::current(); }

// Marks a selection-set name so that it is not taken for an entity name.
constexpr int64_t kSelectionTag = 0x5353'0000'0000LL;

// Whether ads_redraw left an entity highlighted.
bool highlighted(const Database& db, RecordId id);

}  // namespace host::ads
