// Points, sizes, rectangles and colours shared by windows, dialogs and the
// painting canvas. Rectangles follow the platform's convention: right and
// bottom lie just outside the rectangle.
#pragma once

#include <cstdint>

namespace tk {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Point topLeft() const { return {left, top}; }
    Point centre() const { return {left + width() / 2, top + height() / 2}; }
    Rect offsetBy(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    static Rect fromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A colour as 0x00RRGGBB (red in the high byte, unlike the platform's COLORREF).
using Color = std::uint32_t;

constexpr Color rgb(int red, int green, int blue) {
    return (static_cast<Color>(red & 0xFF) << 16) | (static_cast<Color>(green & 0xFF) << 8) |
           static_cast<Color>(blue & 0xFF);
}
constexpr int redOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Color c) { return static_cast<int>(c & 0xFF); }

}  // namespace tk
