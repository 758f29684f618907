// The automation script: the lines a session reads, from a file, a string
// or the terminal. Plain lines go to the host's command line; lines that
// start with "@" act on the user interface. Lines starting with "#" are
// comments.
#pragma once

#include <cstdio>
#include <deque>
#include <istream>
#include <ostream>
#include <optional>
#include <string>

#include "core/command_line.h"
#include "tk/common/ui_script.h"

namespace zan::app {

class Script final : public host::InputSource, public tk::common::UiAnswerSource {
public:
    // Reads lines from a stream as they are needed (a terminal or a file).
    // `interactive`: the user types them and the terminal shows them; when
    // the user interface waits for an answer, "ui> " is shown and the line
    // typed is the answer, with or without its "@".
    Script(std::istream& in, bool interactive, std::ostream* prompts = nullptr);
    // Holds the given text.
    explicit Script(const std::string& text);

    std::optional<std::string> nextLine() override;
    bool echoInput() const override { return !interactive_; }
    std::optional<std::string> takeUiLine() override;
    bool asksAgain() const override { return interactive_; }
    // Reads on after the end of input: a terminal can be read again after
    // Ctrl-D (used to ask before changes would be lost).
    void resume();

    bool interactive() const { return interactive_; }
    // Longest line read; longer lines are cut.
    static constexpr std::size_t kMaxLine = 8192;

private:
    const std::string* peek();
    std::istream* in_ = nullptr;
    std::ostream* prompts_ = nullptr;
    bool interactive_ = false;
    std::deque<std::string> lines_;
    bool ended_ = false;
};

}  // namespace zan::app
