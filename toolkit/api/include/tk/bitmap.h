// A bitmap in memory: what a bitmap resource or a bitmap file becomes, and
// what a canvas copies into a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tk/geometry.h"

namespace tk {

// 32-bit 0x00RRGGBB pixels, top row first, no padding between rows.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Bitmap() = default;
    Bitmap(int w, int h, Color fill = 0)
        : width(w > 0 ? w : 0), height(h > 0 ? h : 0),
          pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Color at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, Color c) { pixels[static_cast<std::size_t>(y) * width + x] = c; }
};

}  // namespace tk
