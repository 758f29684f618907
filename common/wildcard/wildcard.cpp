#include "wildcard/wildcard.h"

namespace wildcard {
namespace {

char fold(char c, bool ignoreCase) {
    return (ignoreCase && c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Matches a bracket class starting after '['; sets `length` to the class's
// length in the pattern including the closing bracket.
bool matchClass(std::string_view p, char c, bool ignoreCase, std::size_t& length) {
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
        char fc = fold(c, ignoreCase);
        if (fold(lo, ignoreCase) <= fc && fc <= fold(hi, ignoreCase)) matched = true;
        ++i;
        first = false;
    }
    length = (i < p.size()) ? i + 2 : p.size() + 1;  // an unclosed class runs to the end
    return matched != negate;
}

bool matchOne(std::string_view t, std::string_view p, bool ignoreCase) {
    // Iterative matcher with backtracking to the last '*'.
    std::size_t ti = 0, pi = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (ti < t.size()) {
        bool advanced = false;
        if (pi < p.size()) {
            char pc = p[pi];
            std::size_t step = 1;
            bool ok = false;
            switch (pc) {
            case '*':
                starP = ++pi;
                starT = ti;
                continue;
            case '?': ok = true; break;
            case '#': ok = isDigit(t[ti]); break;
            case '@': ok = isAlpha(t[ti]); break;
            case '.': ok = !isDigit(t[ti]) && !isAlpha(t[ti]); break;
            case '[': {
                std::size_t length = 0;
                ok = matchClass(p.substr(pi + 1), t[ti], ignoreCase, length);
                step = length;
                break;
            }
            case '`':
                if (pi + 1 < p.size()) {
                    ok = fold(p[pi + 1], ignoreCase) == fold(t[ti], ignoreCase);
                    step = 2;
                } else {
                    ok = t[ti] == '`';
                }
                break;
            default: ok = fold(pc, ignoreCase) == fold(t[ti], ignoreCase); break;
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

std::vector<std::string_view> splitPatternList(std::string_view list) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    bool inClass = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        char c = list[i];
        if (c == '`') {
            ++i;
            continue;
        }
        if (c == '[') inClass = true;
        else if (c == ']') inClass = false;
        else if (c == ',' && !inClass) {
            parts.push_back(list.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(list.substr(start));
    return parts;
}

bool patternMatch(std::string_view text, std::string_view pattern, bool ignoreCase) {
    bool negate = !pattern.empty() && pattern[0] == '~';
    if (negate) pattern.remove_prefix(1);
    return matchOne(text, pattern, ignoreCase) != negate;
}

bool wildcardMatch(std::string_view text, std::string_view patternList, bool ignoreCase) {
    // A plain name (the usual filter: an entity type, a block name) is
    // compared as it is, without cutting the list into patterns.
    if (!patternList.empty() && !hasWildcards(patternList)) {
        if (text.size() != patternList.size()) return false;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (fold(text[i], ignoreCase) != fold(patternList[i], ignoreCase)) return false;
        return true;
    }
    for (std::string_view pattern : splitPatternList(patternList))
        if (patternMatch(text, pattern, ignoreCase)) return true;
    return false;
}

bool hasWildcards(std::string_view list) {
    return list.find_first_of("*?#@.[~`,") != std::string_view::npos;
}

}  // namespace wildcard
