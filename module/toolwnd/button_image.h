// The images of grid buttons: a device-independent bitmap file from the
// window's bitmap directory, or the module's placeholder when the file is
// missing or holds nothing the platform can draw.
#pragma once

#include <string>

#include "tk/bitmap.h"

namespace zan {

inline constexpr int kPlaceholderBitmap = 125;  // 20 x 20, 16 colours
inline constexpr int kOptionStripBitmap = 114;

// `directory` ends with its separator (or is empty).
tk::Bitmap loadButtonImage(const std::string& directory, const std::string& fileName);

}  // namespace zan
