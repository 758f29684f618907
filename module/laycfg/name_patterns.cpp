#include "laycfg/name_patterns.h"

#include <algorithm>

#include "text/ascii_upper.h"
#include "wildcard/wildcard.h"

namespace zan {

namespace {

char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = fold(c);
    return out;
}

// No character with a wildcard meaning.
bool plain(std::string_view text) { return text.find_first_of("*?#@.[~`") == std::string_view::npos; }

}  // namespace

void StepPatterns::addLength(std::vector<std::size_t>& lengths, std::size_t length) {
    auto at = std::lower_bound(lengths.begin(), lengths.end(), length);
    if (at == lengths.end() || *at != length) lengths.insert(at, length);
}

void StepPatterns::add(std::string_view pattern, int step, bool freeze) {
    if (pattern.empty()) return;
    if (pattern.size() > 1 && pattern[0] == '~') {
        const std::string_view inner = pattern.substr(1);
        const bool prefix = inner.back() == '*' && plain(inner.substr(0, inner.size() - 1));
        if (prefix || plain(inner)) {
            negated_.push_back({upper(prefix ? inner.substr(0, inner.size() - 1) : inner), prefix, step, freeze});
            return;
        }
    }
    if (plain(pattern)) {
        literals_[upper(pattern)].note(step, freeze);
    } else if (pattern.size() > 1 && pattern.back() == '*' && plain(pattern.substr(0, pattern.size() - 1))) {
        std::string_view prefix = pattern.substr(0, pattern.size() - 1);
        prefixes_[upper(prefix)].note(step, freeze);
        addLength(prefixLengths_, prefix.size());
    } else if (pattern.size() > 3 && pattern.substr(0, 2) == "*|" && pattern.back() == '*' &&
               plain(pattern.substr(2, pattern.size() - 3))) {
        std::string_view prefix = pattern.substr(2, pattern.size() - 3);
        referencePrefixes_[upper(prefix)].note(step, freeze);
        addLength(referencePrefixLengths_, prefix.size());
    } else {
        general_.push_back({std::string(pattern), step, freeze});
    }
}

void StepPatterns::merge(Last& last, const Steps& steps) {
    last.freeze = std::max(last.freeze, steps.freeze);
    last.thaw = std::max(last.thaw, steps.thaw);
}

void StepPatterns::merge(Last& last, const Index& index, std::string_view key) {
    if (index.empty()) return;
    if (const Steps* steps = index.find(key)) merge(last, *steps);
}

StepPatterns::Last StepPatterns::match(std::string_view name) const {
    Last last;
    // The folded name lives on the stack for names of usual length (the
    // match runs once per layer of the table).
    char small[256];
    std::string large;
    char* buffer = small;
    if (name.size() > sizeof small) {
        large.resize(name.size());
        buffer = large.data();
    }
    ascii::upperAscii(name.data(), name.size(), buffer);
    const std::string_view folded(buffer, name.size());
    merge(last, literals_, folded);
    for (std::size_t length : prefixLengths_) {
        if (length > folded.size()) break;
        merge(last, prefixes_, folded.substr(0, length));
    }
    if (!referencePrefixLengths_.empty())
        for (std::size_t bar = folded.find('|'); bar != std::string_view::npos; bar = folded.find('|', bar + 1))
            for (std::size_t length : referencePrefixLengths_) {
                if (bar + 1 + length > folded.size()) break;
                merge(last, referencePrefixes_, folded.substr(bar + 1, length));
            }
    for (const Negated& n : negated_) {
        const bool inner = n.prefix ? folded.substr(0, n.text.size()) == n.text : folded == n.text;
        if (!inner) {
            int& slot = n.freeze ? last.freeze : last.thaw;
            slot = std::max(slot, n.step);
        }
    }
    for (const General& g : general_)
        if (wildcard::patternMatch(name, g.pattern, true)) {
            int& slot = g.freeze ? last.freeze : last.thaw;
            slot = std::max(slot, g.step);
        }
    return last;
}

}  // namespace zan
