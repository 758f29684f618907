// The typed input of the desktop application: the lines the user enters on
// the command line widget or makes by clicking in the drawing view, and
// (with --script) the automation script's lines after them. The host reads
// it through the same InputSource as a terminal or a script; while nothing
// is there to read, the host's loop yields back to the Qt event loop, and
// the next line the user gives wakes it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "core/command_line.h"

namespace zan::gui {

class GuiInput final : public host::InputSource {
public:
    // `yield` suspends the host's loop until `wake` (given to the GUI) has
    // led to its resumption; it is called only from within that loop.
    void setYield(std::function<void()> yield) { yield_ = std::move(yield); }
    void setWake(std::function<void()> wake) { wake_ = std::move(wake); }
    // Lines of a script, read once the user's lines are taken; the input
    // ends when the script does. Null: the user's lines only.
    void setScript(host::InputSource* script) { script_ = script; }
    // Called once when the input ends, before the host hears of it (the
    // windows are still as the last line left them).
    void setAtEnd(std::function<void()> atEnd) { atEnd_ = std::move(atEnd); }
    // Calls it now if the input never ended (the host quit first).
    void finish() { ended(); }

    // A line from the user (typed, or a point clicked).
    void feed(std::string line);
    // The user is gone (the main window closed): input ends.
    void close();
    bool closed() const { return closed_; }
    // Whether the host's loop is waiting for a line from the user.
    bool waiting() const { return waiting_; }

    std::optional<std::string> nextLine() override;
    bool echoInput() const override { return true; }  // the transcript shows what was entered

private:
    std::optional<std::string> ended();
    std::function<void()> yield_, wake_, atEnd_;
    host::InputSource* script_ = nullptr;
    std::deque<std::string> lines_;
    bool closed_ = false;
    bool waiting_ = false;
};

}  // namespace zan::gui
