// Host commands: their table, and the running of one command at a time on a
// fiber, fed by the user's typing or by an application's ads_command
// arguments. A command left waiting for input when an application's
// arguments run out waits for the next ads_command call; when the
// application returns to the host, the user goes on with it.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fiber.h"
#include "db/record.h"

namespace host {

class Host;
class CommandContext;

// One input handed to a command: typed text, or a value an application passed.
struct CommandInput {
    enum class Kind { Text, Point, Entity, SelectionSet };
    Kind kind = Kind::Text;
    std::string text;
    std::array<double, 3> point{};
    RecordId entity = kNoRecord;
    std::vector<RecordId> members;  // of a selection set
    bool pause = false;             // "\" from an application: ask the user
};

// Thrown inside a command when it is cancelled (an empty ads_command call,
// or the user's input ended).
struct CommandCancelled {};

using CommandBody = std::function<void(CommandContext&)>;

class CommandProcessor {
public:
    explicit CommandProcessor(Host& host);
    ~CommandProcessor();

    void define(std::string name, CommandBody body);
    // The name without its "_", "." and "-" prefixes, upper-cased; "-" is
    // reported through `dashed` (commands use it to skip their dialog form).
    static std::string canonicalName(std::string_view typed, bool* dashed = nullptr);
    bool isCommand(std::string_view typed) const;
    // The names of the defined commands, upper-cased, in alphabetical order.
    std::vector<std::string> names() const;

    // Runs a command the user typed at the "Command: " prompt, to its end.
    void runTyped(std::string_view typed);
    // ads_command / ads_cmd: feeds arguments; an empty list cancels the command
    // in progress. Returns RTNORM, or RTERROR for an unknown command.
    int sendFromApplication(std::vector<CommandInput> arguments);
    bool active() const { return active_ != nullptr; }
    // Whether what the running command prints is shown: not while it runs
    // for an application with CMDECHO 0 (commands the user types always are).
    bool echoing() const;
    // After an application returned with a command waiting: the user goes on.
    void continueWithUser();

private:
    friend class CommandContext;
    struct Active;
    void start(const std::string& typed, bool fromApplication);
    void resumeActive();
    std::optional<CommandInput> nextInput(std::string_view prompt, bool allowSpaces);
    // Calls an application named by typed input ("'name" or "(name)") at a
    // prompt of the running command; false when the text names none.
    bool callTransparently(const std::string& typed);

    Host& host_;
    std::map<std::string, CommandBody> table_;
    std::unique_ptr<Active> active_;
    std::deque<CommandInput> leftover_;  // arguments a finished command did not read
};

// What a running command uses to read its input and reach the host.
class CommandContext {
public:
    CommandContext(CommandProcessor& processor, std::string name, bool dashed)
        : processor_(processor), name_(std::move(name)), dashed_(dashed) {}

    Host& host();
    const std::string& name() const { return name_; }
    bool dashed() const { return dashed_; }

    // The next input; throws CommandCancelled when there is none.
    CommandInput input(std::string_view prompt, bool allowSpaces = false);
    // The next input as text ("" is Enter). Points arrive as "x,y,z".
    std::string text(std::string_view prompt, bool allowSpaces = false);
    // A keyword from `keywords` (case-insensitive, any unique abbreviation by
    // the capitals of its spelling), "" for Enter; asks again on anything else.
    std::string keyword(std::string_view prompt, const std::vector<std::string>& keywords);
    // An integer; asks again until one is given; nothing for Enter.
    std::optional<long long> integer(std::string_view prompt);
    std::optional<double> real(std::string_view prompt);
    std::optional<std::array<double, 3>> point(std::string_view prompt);
    // Objects for "Select objects: " until Enter.
    std::vector<RecordId> selection(std::string_view prompt = "Select objects: ");
    // Whether the next input is an entity an application handed in (commands
    // that take one object from an application end after it).
    bool nextIsApplicationEntity() const;

    // What the command says: not shown while it runs for an application
    // with CMDECHO 0.
    void print(std::string_view text);
    // Why an input or the command failed: always shown.
    void error(std::string_view text);

private:
    CommandProcessor& processor_;
    std::string name_;
    bool dashed_;
};

// The keyword of `keywords` that `typed` names (exactly, or abbreviated to at
// least its leading capitals), or "" when none does.
std::string matchKeyword(std::string_view typed, const std::vector<std::string>& keywords);

// "x,y" or "x,y,z" (also "@dx,dy" relative to `base`), or nothing.
std::optional<std::array<double, 3>> parsePointText(std::string_view text,
                                                     const std::array<double, 3>* base = nullptr);

}  // namespace host
