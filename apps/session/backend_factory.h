// Makes the toolkit backend a session runs on, by name, so that the session
// itself depends only on the backend contract (tk::common::Backend).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tk/common/backend.h"

namespace zan::app {

// The backends this build has; the first is the default.
std::vector<std::string> availableBackends();
// The backend called `name` (empty: the default), or null with `error` set.
std::unique_ptr<tk::common::Backend> makeBackend(std::string_view name, std::string& error);

}  // namespace zan::app
