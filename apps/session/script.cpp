#include "session/script.h"

#include <cstdio>
#include <iostream>
#include <sstream>

namespace zan::app {

namespace {

// One line without its line end, at most Script::kMaxLine bytes kept (the
// rest of a longer line is read and dropped). False at the end of input.
bool readBoundedLine(std::istream& in, std::string& line) {
    std::streambuf* buffer = in.rdbuf();
    if (!buffer) return false;
    bool any = false;
    for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
        any = true;
        if (c == '\n') return true;
        if (line.size() < Script::kMaxLine) line.push_back(static_cast<char>(c));
    }
    in.setstate(std::ios::eofbit);
    return any;
}

}  // namespace

Script::Script(std::istream& in, bool interactive, std::ostream* prompts)
    : in_(&in), prompts_(prompts), interactive_(interactive) {}

Script::Script(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines_.push_back(line);
    ended_ = true;
}

const std::string* Script::peek() {
    while (true) {
        if (lines_.empty()) {
            if (ended_ || !in_) return nullptr;
            std::string line;
            if (!readBoundedLine(*in_, line)) {
                ended_ = true;
                return nullptr;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines_.push_back(std::move(line));
        }
        const std::string& front = lines_.front();
        std::size_t start = front.find_first_not_of(" \t");
        if (start != std::string::npos && front[start] == '#') {
            lines_.pop_front();  // a comment
            continue;
        }
        return &front;
    }
}

void Script::resume() {
    if (!in_) return;
    // Standard input keeps its end-of-file mark in stdio as well.
    if (in_->rdbuf() == std::cin.rdbuf()) std::clearerr(stdin);
    in_->clear();
    ended_ = false;
}

std::optional<std::string> Script::nextLine() {
    const std::string* line = peek();
    if (!line) return std::nullopt;
    std::string taken = *line;
    lines_.pop_front();
    return taken;
}

std::optional<std::string> Script::takeUiLine() {
    if (interactive_ && lines_.empty() && prompts_) {
        *prompts_ << "ui> " << std::flush;
        const std::string* typed = peek();
        if (!typed) return std::nullopt;
        std::string answer = *typed;
        lines_.pop_front();
        // An empty line is an answer too: the element says why it does not fit.
        std::size_t start = answer.find_first_not_of(" \t");
        if (start == std::string::npos) return "@";
        return answer[start] == '@' ? answer.substr(start) : "@" + answer.substr(start);
    }
    const std::string* line = peek();
    if (!line) return std::nullopt;
    std::size_t start = line->find_first_not_of(" \t");
    if (start == std::string::npos || (*line)[start] != '@') return std::nullopt;
    std::string taken = line->substr(start);
    lines_.pop_front();
    return taken;
}

}  // namespace zan::app
