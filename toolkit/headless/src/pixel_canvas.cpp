#include "pixel_canvas.h"

#include <algorithm>
#include <cstdlib>

namespace tk::headless {

void PixelCanvas::plot(int x, int y, tk::Color color) {
    if (x >= 0 && y >= 0 && x < area_.width && y < area_.height && target_.contains(x, y)) target_.set(x, y, color);
}

void PixelCanvas::fillRect(const tk::Rect& area, tk::Color color) {
    int left = std::max(area.left, 0);
    int top = std::max(area.top, 0);
    int right = std::min({area.right, area_.width, target_.width});
    int bottom = std::min({area.bottom, area_.height, target_.height});
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) target_.set(x, y, color);
}

void PixelCanvas::drawLine(tk::Point from, tk::Point to, const tk::Pen& pen) {
    const int width = std::clamp(pen.width, 1, 64);
    const int offset = width / 2;
    // Bresenham's walk from `from` to `to`, the end point left out; a square
    // of the pen's width is stamped at every point.
    int x = from.x, y = from.y;
    const int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    const int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    // Coordinates are kept within a range that a walk covers quickly; a line
    // with an end beyond it is not drawn.
    constexpr long long kReach = 1 << 16;
    for (long long v : {from.x, from.y, to.x, to.y})
        if (v < -kReach || v > kReach) return;
    while (x != to.x || y != to.y) {
        for (int py = 0; py < width; ++py)
            for (int px = 0; px < width; ++px) plot(x - offset + px, y - offset + py, pen.color);
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void PixelCanvas::copyBitmap(const tk::Bitmap& source, const tk::Rect& destination, tk::Point origin) {
    // Only the part of the destination inside the painted area is visited.
    int left = std::max(destination.left, 0), top = std::max(destination.top, 0);
    int right = std::min({destination.right, area_.width, target_.width});
    int bottom = std::min({destination.bottom, area_.height, target_.height});
    for (int y = top; y < bottom; ++y) {
        long long sy = static_cast<long long>(origin.y) + (y - destination.top);
        if (sy < 0 || sy >= source.height) continue;
        for (int x = left; x < right; ++x) {
            long long sx = static_cast<long long>(origin.x) + (x - destination.left);
            if (sx < 0 || sx >= source.width) continue;
            target_.set(x, y, source.at(static_cast<int>(sx), static_cast<int>(sy)));
        }
    }
}

}  // namespace tk::headless
