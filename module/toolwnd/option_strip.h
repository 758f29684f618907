// A strip of check-style toggle buttons docked along the top edge of a
// button-grid window, with a border below it. Button i shows image i of one
// bitmap resource (images side by side) and carries command 320 + i.
#pragma once

#include <memory>
#include <vector>

#include "tk/bitmap.h"

namespace zan {

class ButtonGridWindow;

class OptionStrip {
public:
    OptionStrip(ButtonGridWindow& owner, int imageWidth, int imageHeight, int count, int bitmapResource);
    ~OptionStrip();

    // Makes the strip's child windows; false when one cannot be made.
    bool create();
    int count() const { return static_cast<int>(states_.size()); }
    int buttonWidth() const { return imageWidth_ + 7; }
    int height() const { return imageHeight_ + 6; }
    // 0 = off, 1 = on; 0 for an index out of range.
    int state(int index) const;
    // 1 becomes 0, anything else 1.
    void toggle(int index);

private:
    class StripButton;
    ButtonGridWindow& owner_;
    int imageWidth_;
    int imageHeight_;
    tk::Bitmap images_;
    std::vector<int> states_;
    std::vector<std::unique_ptr<StripButton>> buttons_;
};

}  // namespace zan
