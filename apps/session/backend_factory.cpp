#include "session/backend_factory.h"

#include "tk/headless/headless_platform.h"

namespace zan::app {

std::vector<std::string> availableBackends() { return {"headless"}; }

std::unique_ptr<tk::common::Backend> makeBackend(std::string_view name, std::string& error) {
    if (name.empty() || name == "headless") return std::make_unique<tk::headless::HeadlessPlatform>();
    error = "there is no toolkit backend \"" + std::string(name) + "\" (this build has: headless)";
    return nullptr;
}

}  // namespace zan::app
