// The layer configuration file reader on arbitrary bytes: what it reads is
// saved, and the saved bytes load whole and save again unchanged. Two levels
// exist, so that modifier names both resolve and stay unresolved.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "laycfg/configuration_file.h"
#include "levels/levels.h"
#include "module_state.h"
#include "shell/state.h"

namespace {

void addLevel(const char* name, const char* modifier) {
    auto level = std::make_unique<zan::Level>();
    level->name = name;
    zan::setModifier(*level, modifier);
    zan::state().levelList.push_back(std::move(level));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zan::fuzz::startModuleOnce();
    zan::ShellState& s = zan::state();
    if (s.levelList.empty()) {
        s.modifierSeparator = '-';
        addLevel("Level 1", "1");
        addLevel("Site", "S");
    }
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    s.layerConfigurations.clear();
    zan::loadConfigurationBytes(bytes, "fuzz.Zly");
    const std::string once = zan::configurationFileBytes();
    s.layerConfigurations.clear();
    if (zan::loadConfigurationBytes(once, "saved.Zly") != 1) {
        std::fprintf(stderr, "saved configurations do not load whole\n");
        std::abort();
    }
    if (zan::configurationFileBytes() != once) {
        std::fprintf(stderr, "saved configurations change when loaded and saved again\n");
        std::abort();
    }
    s.layerConfigurations.clear();
    return 0;
}
