// One button of a button-grid window: a child window that owns its item and
// its image, draws the image inside a raised or sunken edge, and reports
// pointer moves and mouse releases to its window.
#pragma once

#include <memory>

#include "tk/bitmap.h"
#include "tk/window.h"
#include "toolwnd/grid_item.h"

namespace zan {

class ButtonGridWindow;

class GridButton : public tk::Window {
public:
    GridButton(ButtonGridWindow& owner, std::unique_ptr<GridItem> item);
    ~GridButton() override;

    // Makes the child window (visible, one-pixel border) at the top-left of
    // the owner's client area; layout moves it to its cell.
    bool createChild(int childId, int width, int height);
    // Reads the item's image again (its file name or directory changed).
    void reloadImage();

    GridItem& item() const { return *item_; }
    const tk::Bitmap& image() const { return image_; }
    int pressed() const { return pressed_; }
    // Sets the pressed state and repaints the edge.
    void setPressed(int state);

    void onPaint(tk::Canvas& canvas) override;
    void onMouseMove(tk::Point, unsigned keys) override;
    void onMouseDown(tk::MouseButton, tk::Point, unsigned keys) override;
    void onMouseUp(tk::MouseButton button, tk::Point, unsigned keys) override;

private:
    ButtonGridWindow& owner_;
    std::unique_ptr<GridItem> item_;
    tk::Bitmap image_;
    int pressed_ = 0;
    bool held_ = false;  // a mouse button is down over it: drawn sunken meanwhile
};

// The three-dimensional edge over a client area of `size`: raised (white
// over dark grey) or sunken (dark grey over light grey), with 2-pixel pens.
void drawButtonEdge(tk::Canvas& canvas, tk::Size size, bool sunken);

}  // namespace zan
