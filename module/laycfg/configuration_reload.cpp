#include "laycfg/configuration_reload.h"

#include "laycfg/configuration_file.h"
#include "shell/state.h"

namespace zan {

int reloadLayerConfigurations() { return loadConfigurationFile(state().layerConfigFile); }

}  // namespace zan
