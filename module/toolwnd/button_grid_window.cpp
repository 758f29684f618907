#include "toolwnd/button_grid_window.h"

#include <algorithm>

#include "shell/services.h"
#include "shell/state.h"
#include "toolwnd/grid_layout.h"
#include "toolwnd/option_strip.h"

namespace zan {

namespace {
constexpr unsigned kGridWindowStyle = tk::WS_CAPTION | tk::WS_SYSMENU | tk::WS_MINIMIZEBOX | tk::WS_MAXIMIZEBOX;
// Image sizes from a file are kept within this, so that a damaged file
// cannot ask for a window of absurd size.
constexpr int kLargestImage = 512;
// Rows beyond this would only make an empty window taller than any screen.
constexpr int kMostRows = 1000;
}  // namespace

ButtonGridWindow::ButtonGridWindow() = default;
ButtonGridWindow::~ButtonGridWindow() = default;

std::string ButtonGridWindow::withSeparator(std::string_view directory) {
    std::string out(directory);
    if (!out.empty() && out.back() != '/' && out.back() != '\\') out += '/';
    return out;
}

bool ButtonGridWindow::create(std::string_view typeWord, std::string_view caption, tk::Point position,
                              GridClickHandler handler) {
    typeWord_ = typeWord;
    clickHandler_ = handler;
    if (!createPopup(state().hostMainWindow, caption, tk::Rect{position.x, position.y, position.x + 100, position.y + 50},
                     kGridWindowStyle))
        return false;
    bringToTop();
    appendSystemMenuItem(kMenuSave, "Save");
    appendSystemMenuItem(kMenuSaveAs, "Save As...");
    appendSystemMenuItem(kMenuSetRows, "Set Rows...");
    appendSystemMenuItem(kMenuSetBitmapDirectory, "Set BMP Dir...");
    appendSystemMenuItem(kMenuSetBitmapSize, "Set BMP Size...");
    return true;
}

bool ButtonGridWindow::createOptionStrip(int imageWidth, int imageHeight, int count, int bitmapResource) {
    auto strip = std::make_unique<OptionStrip>(*this, imageWidth, imageHeight, count, bitmapResource);
    if (!exists() || !strip->create()) {
        messageBox("Failed creating the toolbar", tk::MB_OK);
        return false;
    }
    stripCount_ = strip->count();
    stripButtonWidth_ = strip->buttonWidth();
    stripHeight_ = strip->height();
    strip_ = std::move(strip);
    return true;
}

int ButtonGridWindow::stripButtonState(int index) const { return strip_ ? strip_->state(index) : 0; }

void ButtonGridWindow::setRows(int rows) { rows_ = std::clamp(rows, 1, kMostRows); }

void ButtonGridWindow::setImageSize(int width, int height) {
    cellWidth_ = std::clamp(width, 0, kLargestImage) + 6;
    cellHeight_ = std::clamp(height, 0, kLargestImage) + 6;
}

bool ButtonGridWindow::appendItems(GridItems items) { return addItems(std::move(items), buttons_.size()); }

bool ButtonGridWindow::insertItems(GridItems items, int index) {
    const std::size_t at = static_cast<std::size_t>(std::clamp(index, 0, itemCount()));
    return addItems(std::move(items), at);
}

bool ButtonGridWindow::addItems(GridItems items, std::size_t at) {
    if (bitmapDirectory_.empty()) {
        messageBox("Data file name and path have not been set.", tk::MB_OK);
        return false;
    }
    for (auto& item : items) {
        if (!item) continue;
        auto button = std::make_unique<GridButton>(*this, std::move(item));
        // A button whose window the platform refuses still stands for its
        // item, so that the grid and the file keep one entry per item.
        button->createChild(kFirstButtonId + nextButtonNumber_++, cellWidth_, cellHeight_);
        buttons_.insert(buttons_.begin() + static_cast<std::ptrdiff_t>(at++), std::move(button));
    }
    layout();
    return true;
}

void ButtonGridWindow::removeItem(int index) {
    if (index < 0 || index >= itemCount()) return;
    auto at = buttons_.begin() + index;
    std::unique_ptr<GridButton> gone = std::move(*at);
    buttons_.erase(at);
    if (lastClicked_ == gone.get()) lastClicked_ = nullptr;
    gone.reset();
    layout();
}

int ButtonGridWindow::indexOfButton(const GridButton* button) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].get() == button) return static_cast<int>(i);
    return -1;
}

void ButtonGridWindow::releaseAll() {
    for (auto& button : buttons_) button->setPressed(0);
}

void ButtonGridWindow::pressLastClicked(int state) {
    if (lastClicked_ != nullptr) lastClicked_->setPressed(state);
}

void ButtonGridWindow::layout() {
    GridGeometry geometry;
    geometry.itemCount = itemCount();
    geometry.rows = rows_;
    geometry.cellWidth = cellWidth_;
    geometry.cellHeight = cellHeight_;
    geometry.stripCount = stripCount_;
    geometry.stripButtonWidth = stripButtonWidth_;
    geometry.stripHeight = stripHeight_;
    const GridLayout grid = computeGridLayout(geometry);
    columns_ = grid.columns;
    for (std::size_t k = 0; k < buttons_.size(); ++k) {
        const tk::Rect& cell = grid.cells[k];
        buttons_[k]->setWindowPos(cell.left, cell.top, cell.width(), cell.height(), tk::SWP_NOZORDER);
        buttons_[k]->invalidate();
    }
    if (!exists()) return;
    const tk::Rect frame =
        tk::platform().adjustWindowRect(tk::Rect{0, 0, grid.client.width, grid.client.height}, kGridWindowStyle);
    setWindowPos(0, 0, frame.width(), frame.height(), tk::SWP_NOMOVE | tk::SWP_NOZORDER);
}

void ButtonGridWindow::buttonReleased(GridButton& button, tk::MouseButton which, unsigned keys) {
    lastClicked_ = &button;
    int event = kGridMiddleClick;
    if (which == tk::MouseButton::Left) {
        returnFocusToHost();
        event = kGridLeftClick;
    } else if (which == tk::MouseButton::Right) {
        event = kGridRightClick;
    }
    if (clickHandler_ != nullptr) clickHandler_(button.item(), event, keys, *this);
}

void ButtonGridWindow::stripButtonReleased(int index, tk::MouseButton which) {
    if (which == tk::MouseButton::Right) stripButtonContext(index);
}

void ButtonGridWindow::onMouseMove(tk::Point, unsigned) { setCaption(title_); }

void ButtonGridWindow::onDestroyed() { delete this; }

void ButtonGridWindow::rollUp() {
    if (rolledUp_) return;
    savedRect_ = windowRect();
    const int height = savedRect_.height() - clientRect().height();
    setWindowPos(0, 0, savedRect_.width(), height, tk::SWP_NOMOVE | tk::SWP_NOZORDER);
    rolledUp_ = true;
    std::string caption;
    if (rolledUpCaption(caption)) setCaption(caption);
}

void ButtonGridWindow::rollDown() {
    if (!rolledUp_) return;
    setWindowPos(0, 0, savedRect_.width(), savedRect_.height(), tk::SWP_NOMOVE | tk::SWP_NOZORDER);
    rolledUp_ = false;
}

}  // namespace zan
