// Cutting DXF text into groups (a code line and a value line each), for the
// reader. The lexer cuts a batch of groups at a time, and the reader takes
// them one at a time: the lexer's loop stays small and hot.
#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host::dxf {

// A text as it may appear in a message: control characters escaped, cut
// after 40 characters.
std::string printable(std::string_view text);

struct LexedGroup {
    std::string_view value;  // within the text
    std::size_t line;        // of the code line
    int code;
};

class GroupFeed {
public:
    // Groups cut at once.
    static constexpr std::size_t kBatch = 4096;

    // `text` and `file` (the name for messages) must outlive the feed;
    // `firstLine` is the number of the text's first line in its file.
    GroupFeed(std::string_view text, const std::string& file, std::size_t firstLine = 1,
              std::size_t batch = kBatch);
    ~GroupFeed();
    GroupFeed(const GroupFeed&) = delete;
    GroupFeed& operator=(const GroupFeed&) = delete;

    // The next group; false once the text is used up. A fault in the text
    // (an Error naming its line) is thrown when its group is asked for, as
    // if the text were cut only then.
    bool next(int& code, std::string_view& value, std::size_t& line) {
        if (at_ == stop_ && !refill()) return false;
        code = at_->code;
        value = at_->value;
        line = at_->line;
        ++at_;
        return true;
    }

    // After the last group: the number of the text's last line.
    std::size_t endLine() const { return endLine_; }

private:
    class Cutter;

    bool refill();

    const LexedGroup* at_ = nullptr;
    const LexedGroup* stop_ = nullptr;
    bool last_ = false;         // the batch in hand is the text's last
    std::exception_ptr error_;  // what stopped the cutting, thrown after the batch's groups
    std::size_t endLine_ = 0;
    std::unique_ptr<Cutter> cutter_;
    std::vector<LexedGroup> batch_;
};

}  // namespace host::dxf
