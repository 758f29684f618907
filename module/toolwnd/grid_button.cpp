#include "toolwnd/grid_button.h"

#include "toolwnd/button_grid_window.h"
#include "toolwnd/button_image.h"
#include "tk/platform.h"
#include "shell/drawing_paths.h"

namespace zan {

namespace {
constexpr tk::Color kWhite = tk::rgb(255, 255, 255);
constexpr tk::Color kDarkGrey = tk::rgb(128, 128, 128);
constexpr tk::Color kLightGrey = tk::rgb(192, 192, 192);
}  // namespace

void drawButtonEdge(tk::Canvas& canvas, tk::Size size, bool sunken) {
    const int right = size.width, bottom = size.height;
    canvas.selectPen({sunken ? kDarkGrey : kWhite, 2});
    canvas.moveTo({0, bottom});
    canvas.lineTo({0, 0});
    canvas.lineTo({right, 0});
    canvas.moveTo({1, bottom - 1});
    canvas.lineTo({1, 1});
    canvas.lineTo({right - 1, 1});
    canvas.selectPen({sunken ? kLightGrey : kDarkGrey, 2});
    canvas.moveTo({right, 0});
    canvas.lineTo({right, bottom});
    canvas.lineTo({0, bottom});
    canvas.moveTo({right - 1, 1});
    canvas.lineTo({right - 1, bottom - 1});
    canvas.lineTo({1, bottom - 1});
}

GridButton::GridButton(ButtonGridWindow& owner, std::unique_ptr<GridItem> item)
    : owner_(owner), item_(std::move(item)) {
    item_->button = this;
}

GridButton::~GridButton() = default;

bool GridButton::createChild(int childId, int width, int height) {
    if (!tk::Window::createChild(owner_.handle(), childId, tk::Rect::fromSize(0, 0, width, height),
                                 tk::WS_VISIBLE | tk::WS_BORDER))
        return false;
    reloadImage();
    return true;
}

void GridButton::reloadImage() {
    // The previous image is released at once; only the current one is kept.
    image_ = item_->imageNumber == -1 ? loadButtonImage(resolveDrawingPath(owner_.bitmapDirectory()), item_->imageFile) : tk::Bitmap();
    invalidate();
}

void GridButton::setPressed(int state) {
    pressed_ = state;
    invalidate();
}

void GridButton::onPaint(tk::Canvas& canvas) {
    const tk::Size size = canvas.size();
    // A block the size of the cell, from the image's top-left corner,
    // clipped by the button.
    const tk::Rect block = tk::Rect::fromSize(2, 2, owner_.cellWidth(), owner_.cellHeight());
    if (item_->imageNumber == -1) {
        canvas.copyBitmap(image_, block);
    } else {
        tk::Bitmap resource = tk::platform().loadBitmapResource(item_->imageNumber);
        if (!resource.empty()) canvas.copyBitmap(resource, block);
    }
    drawButtonEdge(canvas, size, pressed_ == 1 || held_);
}

void GridButton::onMouseMove(tk::Point, unsigned) { owner_.setCaption(item_->label()); }

void GridButton::onMouseDown(tk::MouseButton, tk::Point, unsigned) {
    held_ = true;
    invalidate();
}

void GridButton::onMouseUp(tk::MouseButton button, tk::Point, unsigned keys) {
    held_ = false;
    invalidate();
    // The handler may remove this very button (a level deleted from its
    // own right click): nothing of this object is touched after the call.
    owner_.buttonReleased(*this, button, keys);
}

}  // namespace zan
