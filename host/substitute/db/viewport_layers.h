// The layers frozen in a paper space viewport. They are kept, as the real
// host keeps them, in the viewport's extended data of application "ACAD":
// one 1003 group per frozen layer inside the inner "{" "}" pair of the
// "MVIEW" data. The viewport's own 331 groups (handles of the frozen layers)
// are kept in step for readers that look there.
#pragma once

#include <string>
#include <vector>

#include "db/database.h"

namespace host {

std::vector<std::string> viewportFrozenLayers(const Record& viewport);
void setViewportFrozenLayers(Database& db, RecordId viewport, const std::vector<std::string>& layers);

}  // namespace host
