// A layer configuration: a named rule set of levels and layers to thaw or
// freeze, a rule for all other layers, and a UCS and a view to restore.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "levels/level.h"

namespace zan {

class LayerConfiguration {
public:
    virtual ~LayerConfiguration() = default;

    std::string name;
    std::vector<Level*> includedModifiers;  // not owned
    std::vector<Level*> excludedModifiers;  // not owned
    std::vector<std::string> includedLayers;
    std::vector<std::string> excludedLayers;
    std::vector<std::string> unresolvedIncludedModifiers;
    std::vector<std::string> unresolvedExcludedModifiers;
    std::string ucsName = "None";
    std::string viewName = "None";
    int restoredFlag = 1;
};

// The configurations loaded from the layer configuration file, in order; owns them.
using LayerConfigurationList = std::vector<std::unique_ptr<LayerConfiguration>>;

}  // namespace zan
