#include "core/command_line.h"

namespace host {

CommandLine::CommandLine(Output output) : output_(std::move(output)) {}

void CommandLine::print(std::string_view text) {
    if (text.empty()) return;
    output_(text);
    atLineStart_ = text.back() == '\n';
}

void CommandLine::takeQueuedText() {
    while (!queued_.empty()) {
        typed_ += queued_.front();
        queued_.pop_front();
        typedEchoes_ = true;
    }
}

bool CommandLine::fill() {
    while (source_ && !ended_) {
        std::optional<std::string> line = source_->nextLine();
        if (!line) {
            ended_ = true;
            return false;
        }
        if (!line->empty() && line->back() == '\r') line->pop_back();
        if (!line->empty() && (*line)[0] == '@' && uiHandler_) {
            if (!atLineStart_) print("\n");
            uiHandler_(*line);
            continue;
        }
        if (line->size() > kMaxInput) line->resize(kMaxInput);
        typed_ = std::move(*line);
        typed_ += '\n';
        typedEchoes_ = source_->echoInput();
        return true;
    }
    ended_ = true;
    return false;
}

std::optional<std::string> CommandLine::read(std::string_view promptText, bool allowSpaces) {
    print(promptText);
    if (typed_.empty() && !fill()) {
        if (!atLineStart_) print("\n");
        return std::nullopt;
    }
    std::size_t end = allowSpaces ? typed_.find('\n') : typed_.find_first_of(" \n");
    if (end == std::string::npos) end = typed_.size();
    std::string input = typed_.substr(0, end);
    typed_.erase(0, end < typed_.size() ? end + 1 : end);
    if (input.size() > kMaxInput) input.resize(kMaxInput);
    if (typedEchoes_) print(input + "\n");
    else atLineStart_ = true;
    return input;
}

}  // namespace host
