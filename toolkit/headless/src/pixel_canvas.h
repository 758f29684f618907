// A canvas that paints into a pixel buffer, clipped to the painted area.
#pragma once

#include "tk/canvas.h"

namespace tk::headless {

class PixelCanvas final : public tk::Canvas {
public:
    // Paints into `target`; `area` is the logical size (the window's client
    // size), which may exceed the buffer when the buffer is capped.
    PixelCanvas(tk::Bitmap& target, tk::Size area) : target_(target), area_(area) {}

    tk::Size size() const override { return area_; }
    void fillRect(const tk::Rect& area, tk::Color color) override;
    void drawLine(tk::Point from, tk::Point to, const tk::Pen& pen) override;
    void copyBitmap(const tk::Bitmap& source, const tk::Rect& destination, tk::Point sourceOrigin) override;

private:
    void plot(int x, int y, tk::Color color);

    tk::Bitmap& target_;
    tk::Size area_;
};

}  // namespace tk::headless
