// The host's command line: prompts go out, typed input comes in. A space or
// a line end ends an input, except at prompts that allow spaces. Command
// text sent by an application waits in a queue until the host is idle and is
// then read exactly as if it had been typed.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// Where typed lines come from: a script, a terminal.
class InputSource {
public:
    virtual ~InputSource() = default;
    // The next line without its line end, or nothing when input has ended.
    virtual std::optional<std::string> nextLine() = 0;
    // Whether the host should echo what it reads (a script) or the user's
    // terminal already shows it.
    virtual bool echoInput() const = 0;
};

class CommandLine {
public:
    using Output = std::function<void(std::string_view)>;
    // Lines starting with "@" act on the user interface, not on the command line.
    using UiLineHandler = std::function<void(const std::string&)>;

    explicit CommandLine(Output output);

    // A new source starts with nothing typed and input not ended.
    void setSource(InputSource* source) {
        source_ = source;
        ended_ = false;
    }
    void setUiLineHandler(UiLineHandler handler) { uiHandler_ = std::move(handler); }

    void print(std::string_view text);

    // One input after `prompt`: the text up to a space or line end (or up to
    // the line end when `allowSpaces`). Nothing when input has ended.
    std::optional<std::string> read(std::string_view prompt, bool allowSpaces);

    // Text from an application, read once the host is idle.
    void queueText(std::string text) { queued_.push_back(std::move(text)); }
    bool hasQueuedText() const { return !queued_.empty(); }
    // Moves queued text into the typed input; called when the host is idle.
    void takeQueuedText();
    // Whether the source's input has ended.
    bool ended() const { return ended_; }
    // Drops what is left of the current typed line (after a cancel).
    void discardTypedInput() { typed_.clear(); }

    // Longest input accepted; longer input is cut.
    static constexpr std::size_t kMaxInput = 4096;

private:
    bool fill();  // fetches the next line into typed_; false at end of input
    Output output_;
    InputSource* source_ = nullptr;
    UiLineHandler uiHandler_;
    std::string typed_;  // typed characters not yet read
    bool typedEchoes_ = true;
    std::deque<std::string> queued_;
    bool ended_ = false;
    bool atLineStart_ = true;
};

}  // namespace host
