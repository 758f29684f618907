#include "gui/gui_input.h"

namespace zan::gui {

void GuiInput::feed(std::string line) {
    if (closed_) return;
    lines_.push_back(std::move(line));
    if (waiting_ && wake_) wake_();
}

void GuiInput::close() {
    closed_ = true;
    if (waiting_ && wake_) wake_();
}

std::optional<std::string> GuiInput::nextLine() {
    if (script_) {
        // One turn of the event loop between script lines, so that the
        // windows show each step and the user's clicks are seen.
        if (yield_ && wake_) {
            wake_();
            yield_();
        }
        if (closed_) return std::nullopt;
        if (!lines_.empty()) {
            std::string line = std::move(lines_.front());
            lines_.pop_front();
            return line;
        }
        return script_->nextLine();
    }
    while (lines_.empty()) {
        if (closed_ || !yield_) return std::nullopt;
        waiting_ = true;
        yield_();
        waiting_ = false;
    }
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

}  // namespace zan::gui
