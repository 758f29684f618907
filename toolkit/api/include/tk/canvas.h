// Painting: what a window's paint handler draws with. A canvas covers the
// client area of one window; everything drawn is clipped to it.
#pragma once

#include "tk/bitmap.h"
#include "tk/geometry.h"

namespace tk {

// A solid pen. A line of width w covers, at each point (x, y) of its path,
// the w x w square whose top-left pixel is (x - w/2, y - w/2).
struct Pen {
    Color color = rgb(0, 0, 0);
    int width = 1;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // The size of the area painted (the window's client area).
    virtual Size size() const = 0;

    // Fills the rectangle; right and bottom are not filled.
    virtual void fillRect(const Rect& area, Color color) = 0;

    // A straight line from `from` towards `to`; the end point itself is not
    // drawn, so that connected lines meet without drawing a corner twice.
    virtual void drawLine(Point from, Point to, const Pen& pen) = 0;

    // Copies a block of `source` whose top-left corner is `sourceOrigin` into
    // `destination` (same size, no stretching). Only pixels that lie inside
    // both the source bitmap and the canvas are copied.
    virtual void copyBitmap(const Bitmap& source, const Rect& destination, Point sourceOrigin = {}) = 0;

    // The platform's current-position drawing, built on drawLine.
    void selectPen(const Pen& pen) { pen_ = pen; }
    void moveTo(Point p) { position_ = p; }
    void lineTo(Point p) {
        drawLine(position_, p, pen_);
        position_ = p;
    }

private:
    Pen pen_;
    Point position_;
};

}  // namespace tk
