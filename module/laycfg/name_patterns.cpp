#include "laycfg/name_patterns.h"

#include <algorithm>

namespace zan {

namespace {

char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = fold(c);
    return out;
}

// No character with a wildcard meaning.
bool plain(std::string_view text) { return text.find_first_of("*?#@.[~`") == std::string_view::npos; }

// A bracket class starting after '['; `length` is its length in the pattern
// including the closing bracket (an unclosed class runs to the end).
bool matchClass(std::string_view p, char c, std::size_t& length) {
    std::size_t i = 0;
    bool negate = false;
    if (i < p.size() && p[i] == '~') {
        negate = true;
        ++i;
    }
    bool matched = false;
    bool first = true;
    while (i < p.size() && (p[i] != ']' || first)) {
        char lo = p[i];
        if (lo == '`' && i + 1 < p.size()) lo = p[++i];
        char hi = lo;
        if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']') {
            hi = p[i + 2];
            i += 2;
        }
        if (fold(lo) <= fold(c) && fold(c) <= fold(hi)) matched = true;
        ++i;
        first = false;
    }
    length = i < p.size() ? i + 2 : p.size() + 1;
    return matched != negate;
}

bool matchOne(std::string_view t, std::string_view p) {
    std::size_t ti = 0, pi = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (ti < t.size()) {
        bool advanced = false;
        if (pi < p.size()) {
            std::size_t step = 1;
            bool ok = false;
            switch (p[pi]) {
                case '*':
                    starP = ++pi;
                    starT = ti;
                    continue;
                case '?': ok = true; break;
                case '#': ok = isDigit(t[ti]); break;
                case '@': ok = isAlpha(t[ti]); break;
                case '.': ok = !isDigit(t[ti]) && !isAlpha(t[ti]); break;
                case '[': ok = matchClass(p.substr(pi + 1), t[ti], step); break;
                case '`':
                    if (pi + 1 < p.size()) {
                        ok = fold(p[pi + 1]) == fold(t[ti]);
                        step = 2;
                    } else {
                        ok = t[ti] == '`';
                    }
                    break;
                default: ok = fold(p[pi]) == fold(t[ti]); break;
            }
            if (ok) {
                pi += step;
                ++ti;
                advanced = true;
            }
        }
        if (!advanced) {
            if (starP == std::string_view::npos) return false;
            pi = starP;
            ti = ++starT;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

bool namePatternMatch(std::string_view name, std::string_view pattern) {
    bool negate = !pattern.empty() && pattern[0] == '~';
    if (negate) pattern.remove_prefix(1);
    return matchOne(name, pattern) != negate;
}

void StepPatterns::addLength(std::vector<std::size_t>& lengths, std::size_t length) {
    auto at = std::lower_bound(lengths.begin(), lengths.end(), length);
    if (at == lengths.end() || *at != length) lengths.insert(at, length);
}

void StepPatterns::add(std::string_view pattern, int step, bool freeze) {
    if (pattern.empty()) return;
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

StepPatterns::Last StepPatterns::match(std::string_view name) const {
    Last last;
    const std::string folded = upper(name);
    std::string key;
    if (auto it = literals_.find(folded); it != literals_.end()) merge(last, it->second);
    for (std::size_t length : prefixLengths_) {
        if (length > folded.size()) break;
        key.assign(folded, 0, length);
        if (auto it = prefixes_.find(key); it != prefixes_.end()) merge(last, it->second);
    }
    if (!referencePrefixLengths_.empty())
        for (std::size_t bar = folded.find('|'); bar != std::string::npos; bar = folded.find('|', bar + 1))
            for (std::size_t length : referencePrefixLengths_) {
                if (bar + 1 + length > folded.size()) break;
                key.assign(folded, bar + 1, length);
                if (auto it = referencePrefixes_.find(key); it != referencePrefixes_.end()) merge(last, it->second);
            }
    for (const General& g : general_)
        if (namePatternMatch(name, g.pattern)) {
            int& slot = g.freeze ? last.freeze : last.thaw;
            slot = std::max(slot, g.step);
        }
    return last;
}

}  // namespace zan
