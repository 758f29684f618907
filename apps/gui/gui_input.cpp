#include "gui/gui_input.h"

#include <utility>

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

std::optional<std::string> GuiInput::ended() {
    if (atEnd_) std::exchange(atEnd_, nullptr)();
    return std::nullopt;
}

std::optional<std::string> GuiInput::nextLine() {
    if (script_) {
        // One turn of the event loop between script lines, so that the
        // windows show each step and the user's clicks are seen.
        if (yield_ && wake_) {
            wake_();
            yield_();
        }
        if (closed_) return ended();
        if (!lines_.empty()) {
            std::string line = std::move(lines_.front());
            lines_.pop_front();
            return line;
        }
        std::optional<std::string> line = script_->nextLine();
        return line ? line : ended();
    }
    while (lines_.empty()) {
        if (closed_ || !yield_) return ended();
        waiting_ = true;
        yield_();
        waiting_ = false;
    }
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

}  // namespace zan::gui
