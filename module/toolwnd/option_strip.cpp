#include "toolwnd/option_strip.h"

#include "toolwnd/button_grid_window.h"
#include "toolwnd/grid_button.h"
#include "toolwnd/grid_layout.h"
#include "tk/platform.h"
#include "tk/window.h"

namespace zan {

class OptionStrip::StripButton : public tk::Window {
public:
    StripButton(OptionStrip& strip, int index) : strip_(strip), index_(index) {}

    void onPaint(tk::Canvas& canvas) override {
        // Image i of the resource, centred in the button.
        const tk::Size size = canvas.size();
        const int x = (size.width - strip_.imageWidth_) / 2, y = (size.height - strip_.imageHeight_) / 2;
        canvas.copyBitmap(strip_.images_, tk::Rect::fromSize(x, y, strip_.imageWidth_, strip_.imageHeight_),
                          {index_ * strip_.imageWidth_, 0});
        drawButtonEdge(canvas, size, strip_.state(index_) == 1);
    }
    void onMouseUp(tk::MouseButton which, tk::Point, unsigned) override {
        if (which == tk::MouseButton::Left) {
            strip_.toggle(index_);
            invalidate();
        }
        // The client's handler comes last: it may close the window.
        strip_.owner_.stripButtonReleased(index_, which);
    }

private:
    OptionStrip& strip_;
    int index_;
};

OptionStrip::OptionStrip(ButtonGridWindow& owner, int imageWidth, int imageHeight, int count, int bitmapResource)
    : owner_(owner), imageWidth_(imageWidth), imageHeight_(imageHeight),
      images_(tk::platform().loadBitmapResource(bitmapResource)), states_(static_cast<std::size_t>(count > 0 ? count : 0), 0) {}

OptionStrip::~OptionStrip() = default;

bool OptionStrip::create() {
    for (int i = 0; i < count(); ++i) {
        auto button = std::make_unique<StripButton>(*this, i);
        if (!button->createChild(owner_.handle(), ButtonGridWindow::kFirstStripCommand + i,
                                 stripButtonRect(i, buttonWidth(), height()), tk::WS_VISIBLE, "strip"))
            return false;
        buttons_.push_back(std::move(button));
    }
    return true;
}

int OptionStrip::state(int index) const {
    return index >= 0 && index < count() ? states_[static_cast<std::size_t>(index)] : 0;
}

void OptionStrip::toggle(int index) {
    if (index < 0 || index >= count()) return;
    int& s = states_[static_cast<std::size_t>(index)];
    s = s == 1 ? 0 : 1;
}

}  // namespace zan
