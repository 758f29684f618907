#include "session/backend_factory.h"

#include "tk/headless/headless_platform.h"
#ifdef ZAN_HAVE_DESKTOP
#include "tk/desktop/desktop_platform.h"
#endif

namespace zan::app {

std::vector<std::string> availableBackends() {
#ifdef ZAN_HAVE_DESKTOP
    return {"headless", "desktop"};
#else
    return {"headless"};
#endif
}

std::unique_ptr<tk::common::Backend> makeBackend(std::string_view name, std::string& error) {
    if (name.empty() || name == "headless") return std::make_unique<tk::headless::HeadlessPlatform>();
#ifdef ZAN_HAVE_DESKTOP
    if (name == "desktop") {
        try {
            return std::make_unique<tk::desktop::DesktopPlatform>();
        } catch (const std::exception& e) {
            error = e.what();
            return nullptr;
        }
    }
#endif
    std::string names;
    for (const std::string& n : availableBackends()) names += (names.empty() ? "" : ", ") + n;
    error = "there is no toolkit backend \"" + std::string(name) + "\" (this build has: " + names + ")";
    return nullptr;
}

}  // namespace zan::app
