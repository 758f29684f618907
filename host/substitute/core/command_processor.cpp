#include "core/command_processor.h"

#include <algorithm>
#include <cmath>
#include <charconv>

#include "ads/adscodes.h"
#include "core/host.h"
#include "db/record.h"

namespace host {

struct CommandProcessor::Active {
    std::string typed;
    std::unique_ptr<Fiber> fiber;
    std::deque<CommandInput> arguments;
    bool fromApplication = false;  // arguments come from an application waiting in ads_command
    bool cancelRequested = false;
    int transparentCalls = 0;  // applications called at one of the command's prompts, still running
};

CommandProcessor::CommandProcessor(Host& host) : host_(host) {}
CommandProcessor::~CommandProcessor() = default;

void CommandProcessor::define(std::string name, CommandBody body) { table_[upperName(name)] = std::move(body); }

std::string CommandProcessor::canonicalName(std::string_view typed, bool* dashed) {
    bool dash = false;
    while (!typed.empty() && (typed[0] == '_' || typed[0] == '.' || typed[0] == '-' || typed[0] == '\'')) {
        if (typed[0] == '-') dash = true;
        typed.remove_prefix(1);
    }
    if (dashed) *dashed = dash;
    return upperName(typed);
}

bool CommandProcessor::isCommand(std::string_view typed) const { return table_.count(canonicalName(typed)) > 0; }

std::vector<std::string> CommandProcessor::names() const {
    std::vector<std::string> out;
    out.reserve(table_.size());
    for (const auto& [name, body] : table_) out.push_back(name);
    return out;
}

void CommandProcessor::start(const std::string& typed, bool fromApplication) {
    bool dashed = false;
    std::string name = canonicalName(typed, &dashed);
    CommandBody body = table_.at(name);
    active_ = std::make_unique<Active>();
    active_->typed = typed;
    active_->fromApplication = fromApplication;
    active_->fiber = std::make_unique<Fiber>([this, body, name, dashed] {
        CommandContext context(*this, name, dashed);
        try {
            body(context);
        } catch (const CommandCancelled&) {
            host_.print("*Cancel*\n");
        }
    });
}

void CommandProcessor::resumeActive() {
    Fiber* fiber = active_->fiber.get();
    try {
        fiber->resume();
    } catch (...) {
        active_.reset();
        throw;
    }
    if (fiber->finished()) {
        leftover_ = std::move(active_->arguments);
        active_.reset();
    }
}

void CommandProcessor::runTyped(std::string_view typed) {
    if (active_) return;
    start(std::string(typed), false);
    resumeActive();
}

int CommandProcessor::sendFromApplication(std::vector<CommandInput> arguments) {
    if (active_ && active_->transparentCalls > 0) {
        // An application called at the command's prompt answers that prompt:
        // its arguments are read when it returns.
        if (arguments.empty())
            active_->cancelRequested = true;
        else
            for (CommandInput& in : arguments) active_->arguments.push_back(std::move(in));
        return RTNORM;
    }
    if (arguments.empty()) {
        // An empty command call cancels the command in progress.
        if (active_) {
            active_->cancelRequested = true;
            active_->fromApplication = true;
            resumeActive();
        }
        return RTNORM;
    }
    std::deque<CommandInput> pending(std::make_move_iterator(arguments.begin()),
                                     std::make_move_iterator(arguments.end()));
    while (!pending.empty()) {
        if (!active_) {
            CommandInput first = std::move(pending.front());
            pending.pop_front();
            if (first.kind != CommandInput::Kind::Text) return RTERROR;
            if (first.text.empty()) continue;  // Enter at the command prompt does nothing here
            if (!isCommand(first.text)) {
                host_.print("Unknown command \"" + upperName(first.text) + "\".  Press F1 for help.\n");
                return RTERROR;
            }
            start(first.text, true);
        }
        active_->fromApplication = true;
        while (!pending.empty()) {
            active_->arguments.push_back(std::move(pending.front()));
            pending.pop_front();
        }
        resumeActive();
        // Arguments the finished command did not read start the next command;
        // a command still running has read them all (it only waits when its
        // queue is empty).
        if (!active_) pending = std::move(leftover_);
        leftover_.clear();
    }
    return RTNORM;
}

bool CommandProcessor::echoing() const {
    return !active_ || !active_->fromApplication || host_.db().variables().integer("CMDECHO", 1) != 0;
}

void CommandProcessor::continueWithUser() {
    while (active_) {
        active_->fromApplication = false;
        resumeActive();
    }
}

std::optional<CommandInput> CommandProcessor::nextInput(std::string_view prompt, bool allowSpaces) {
    Active& a = *active_;
    // Arguments always come from an application.
    const bool echo = host_.db().variables().integer("CMDECHO", 1) != 0;
    while (true) {
        if (a.cancelRequested) return std::nullopt;
        if (!a.arguments.empty()) {
            CommandInput in = std::move(a.arguments.front());
            a.arguments.pop_front();
            if (in.pause) break;  // the user answers this one
            if (echo) {
                std::string shown = in.text;
                if (in.kind == CommandInput::Kind::Point) {
                    char buffer[96];
                    std::snprintf(buffer, sizeof buffer, "%g,%g,%g", in.point[0], in.point[1], in.point[2]);
                    shown = buffer;
                } else if (in.kind != CommandInput::Kind::Text) {
                    shown = "";
                }
                host_.print(std::string(prompt) + shown + "\n");
            }
            return in;
        }
        if (!a.fromApplication) break;
        a.fiber->suspend();  // back to the application's ads_command call
    }
    while (true) {
        std::optional<std::string> typed = host_.commandLine().read(prompt, allowSpaces);
        // "^C" typed is the Escape key: it cancels the command.
        if (!typed || *typed == "^C") return std::nullopt;
        if (!allowSpaces && callTransparently(*typed)) {
            if (a.cancelRequested) return std::nullopt;
            if (!a.arguments.empty()) return nextInput(prompt, allowSpaces);
            continue;
        }
        CommandInput in;
        in.text = std::move(*typed);
        return in;
    }
}

bool CommandProcessor::callTransparently(const std::string& typed) {
    // "'name" calls an application's command, "(name)" a registered
    // function, while the command waits at its prompt.
    std::string name;
    if (typed.size() > 1 && typed[0] == '\'')
        name = "C:" + upperName(std::string_view(typed).substr(1));
    else if (typed.size() > 2 && typed.front() == '(' && typed.back() == ')')
        name = upperName(std::string_view(typed).substr(1, typed.size() - 2));
    else
        return false;
    if (!host_.applications().hasFunction(name)) return false;
    ++active_->transparentCalls;
    struct Leave {
        Active& a;
        ~Leave() { --a.transparentCalls; }
    } leave{*active_};
    host_.applications().invoke(name);
    return true;
}

Host& CommandContext::host() { return processor_.host_; }

void CommandContext::print(std::string_view text) {
    if (processor_.echoing()) host().print(text);
}

void CommandContext::error(std::string_view text) { host().print(text); }

CommandInput CommandContext::input(std::string_view prompt, bool allowSpaces) {
    std::optional<CommandInput> in = processor_.nextInput(prompt, allowSpaces);
    if (!in) throw CommandCancelled{};
    return std::move(*in);
}

std::string CommandContext::text(std::string_view prompt, bool allowSpaces) {
    CommandInput in = input(prompt, allowSpaces);
    if (in.kind == CommandInput::Kind::Point) {
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, "%.17g,%.17g,%.17g", in.point[0], in.point[1], in.point[2]);
        return buffer;
    }
    return in.text;
}

namespace {
// Whether `typed` abbreviates `keyword`: at least its capital letters, and a
// prefix of the whole keyword (case-insensitive); or exactly the capitals of
// a keyword that does not start with them ("X" for "eXit").
bool abbreviates(std::string_view typed, std::string_view keyword) {
    if (typed.empty() || typed.size() > keyword.size()) return false;
    if (keyword[0] >= 'a' && keyword[0] <= 'z') {
        std::string marked;
        for (char c : keyword)
            if (c >= 'A' && c <= 'Z') marked += c;
        if (!marked.empty() && namesEqual(typed, marked)) return true;
    }
    if (!namesEqual(typed, keyword.substr(0, typed.size()))) return false;
    std::size_t capitals = 0;
    for (char c : keyword)
        if (c >= 'A' && c <= 'Z') ++capitals;
        else break;
    return typed.size() >= std::max<std::size_t>(capitals, 1);
}
}  // namespace

std::string matchKeyword(std::string_view typed, const std::vector<std::string>& keywords) {
    for (const std::string& k : keywords)
        if (namesEqual(typed, k)) return k;
    for (const std::string& k : keywords)
        if (abbreviates(typed, k)) return k;
    return {};
}

std::string CommandContext::keyword(std::string_view prompt, const std::vector<std::string>& keywords) {
    while (true) {
        std::string typed = text(prompt);
        if (typed.empty()) return typed;
        if (std::string k = matchKeyword(typed, keywords); !k.empty()) return k;
        error("Invalid option keyword.\n");
        // Input from an application that does not fit ends the command, like a
        // script error, rather than asking forever.
        if (processor_.active_ && processor_.active_->fromApplication && processor_.active_->arguments.empty())
            throw CommandCancelled{};
    }
}

std::optional<long long> CommandContext::integer(std::string_view prompt) {
    while (true) {
        std::string typed = text(prompt);
        if (typed.empty()) return std::nullopt;
        long long value = 0;
        auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
        if (ec == std::errc() && end == typed.data() + typed.size()) return value;
        error("Requires an integer value.\n");
    }
}

std::optional<double> CommandContext::real(std::string_view prompt) {
    while (true) {
        std::string typed = text(prompt);
        if (typed.empty()) return std::nullopt;
        if (auto v = parseReal(typed)) return v;
        error("Requires numeric value.\n");
    }
}

std::optional<std::array<double, 3>> CommandContext::point(std::string_view prompt) {
    while (true) {
        CommandInput in = input(prompt);
        if (in.kind == CommandInput::Kind::Point) return in.point;
        if (in.text.empty()) return std::nullopt;
        std::array<double, 3> last = host().db().variables().point("LASTPOINT");
        if (auto p = parsePointText(in.text, &last)) {
            host().db().variables().setPoint("LASTPOINT", *p);
            return p;
        }
        error("Invalid point.\n");
    }
}

bool CommandContext::nextIsApplicationEntity() const {
    const auto& active = processor_.active_;
    return active && !active->arguments.empty() && active->arguments.front().kind == CommandInput::Kind::Entity;
}

std::vector<RecordId> CommandContext::selection(std::string_view prompt) {
    Host& h = host();
    SelectionReader reader{h.db(), h.paperSpaceCurrent(), nullptr, h.selections().previous(), h.lastEntity(),
                           [this](std::string_view p) -> std::optional<CommandInput> {
                               return processor_.nextInput(p, false);
                           },
                           [this](std::string_view t) { print(t); }};
    auto chosen = reader.read(prompt);
    if (!chosen) throw CommandCancelled{};
    if (!chosen->empty()) h.selections().previous() = *chosen;
    return *chosen;
}

std::optional<std::array<double, 3>> parsePointText(std::string_view text, const std::array<double, 3>* base) {
    bool relative = !text.empty() && text[0] == '@';
    if (relative) text.remove_prefix(1);
    std::array<double, 3> p{0, 0, 0};
    int count = 0;
    while (count < 3) {
        std::size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        auto v = parseReal(part);
        if (!v) return std::nullopt;
        p[count++] = *v;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (count < 2) return std::nullopt;
    if (relative && base)
        for (int i = 0; i < 3; ++i) {
            p[i] += (*base)[i];
            if (!std::isfinite(p[i])) return std::nullopt;  // beyond the largest number
        }
    return p;
}

}  // namespace host
