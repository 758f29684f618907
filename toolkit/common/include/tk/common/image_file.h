// Writing bitmaps out as image files: 24-bit .bmp, or binary .ppm (P6).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tk/bitmap.h"

namespace tk::common {

std::vector<std::uint8_t> encodeBmp(const tk::Bitmap& bitmap);
std::vector<std::uint8_t> encodePpm(const tk::Bitmap& bitmap);
// PPM when the path ends in ".ppm", else BMP.
bool writeImageFile(const std::string& path, const tk::Bitmap& bitmap, std::string* error = nullptr);

}  // namespace tk::common
