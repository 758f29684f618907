// Reloading the layer configurations after the drawing's layer
// configuration file changed.
#pragma once

namespace zan {
// Loads the configurations from the file the drawing names; 1 on success.
int reloadLayerConfigurations();
}  // namespace zan
