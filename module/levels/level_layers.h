// Layers of the current level: composing and checking the layer of a root
// name, and making a layer like another one.
#pragma once

#include <string>
#include <string_view>

namespace zan {

// Longest layer name the module composes (its buffers hold 128 bytes).
inline constexpr std::size_t kLayerNameLimit = 127;

// `out` = the active modifier prefix + `root`. True when that layer exists
// and is neither frozen nor locked; otherwise a message box says why
// (a composed name too long for the buffer is refused the same way).
bool ComposeLevelLayer(std::string_view root, std::string& out);

// Makes `newLayer` exist with the colour and linetype of `oldLayer`. False
// only when neither layer exists (nothing is created then).
bool EnsureLayerLike(const std::string& oldLayer, const std::string& newLayer);

}  // namespace zan
