// How a backend gets the user's answers: UI lines of the automation
// script ("@..."), and the errors raised when the script cannot answer what
// the module shows.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tk/platform.h"

namespace tk::common {

// The next line of the script, when it is a UI line.
struct UiAnswerSource {
    virtual ~UiAnswerSource() = default;
    // The next script line if it is a UI line (starts with "@"), consuming
    // it; nothing when the next line is command-line input or the script
    // has ended.
    virtual std::optional<std::string> takeUiLine() = 0;
    // Whether an answer that does not fit is refused and asked for again (a
    // user at a terminal) rather than ending the run (a script).
    virtual bool asksAgain() const { return false; }
};

// A modal element (message box, file dialog, modal dialog) waited for an
// answer and the script had none.
class MissingAnswer : public tk::SessionAborted {
public:
    using tk::SessionAborted::SessionAborted;
};

// A UI line that does not fit the element waiting for it.
class ScriptError : public tk::SessionAborted {
public:
    using tk::SessionAborted::SessionAborted;
};

// Lines held in memory: UI lines are answered from the front of the queue
// until a plain line (or the end) is reached. For tests and for callers that
// read a whole script first.
class ScriptedAnswers final : public UiAnswerSource {
public:
    ScriptedAnswers() = default;
    ScriptedAnswers(std::initializer_list<std::string> lines) : lines_(lines) {}
    void add(std::string line) { lines_.push_back(std::move(line)); }
    std::optional<std::string> takeUiLine() override {
        if (lines_.empty()) return std::nullopt;
        std::string_view line = lines_.front();
        std::size_t start = line.find_first_not_of(" \t");
        if (start == line.npos || line[start] != '@') return std::nullopt;
        std::string taken = std::move(lines_.front());
        lines_.pop_front();
        return taken;
    }
    std::size_t remaining() const { return lines_.size(); }

private:
    std::deque<std::string> lines_;
};

}  // namespace tk::common
