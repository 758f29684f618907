// The module's bitmap resources, drawn in code: 125, the 20 x 20 placeholder
// button image in the 16 standard colours; 114, the option strip, four
// 15 x 14 images side by side (automatic layering, explode, automatic
// scaling, automatic rotation).
#pragma once

#include "tk/bitmap.h"

namespace tk::common {

inline constexpr int kPlaceholderBitmap = 125;
inline constexpr int kOptionStripBitmap = 114;

// The resource, or an empty bitmap for an unknown number.
tk::Bitmap builtinBitmap(int resourceId);

}  // namespace tk::common
