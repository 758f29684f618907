// Reading one input at a prompt as the ADS input functions do: Enter,
// keywords of the last ads_initget, cancel ("^C" or the end of input), and
// a check of the value typed.
#pragma once

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ads/ads_context.h"

namespace host::ads {

enum class Outcome { Value, None, Keyword, Cancel };

struct Reading {
    Outcome outcome;
    std::string text;
};

inline std::vector<std::string> splitKeywords(const std::string& list) {
    std::vector<std::string> words;
    std::istringstream in(list);
    std::string word;
    while (in >> word) {
        // "Display_Open" style aliases: the first part is the local keyword.
        words.push_back(word.substr(0, word.find('_')));
    }
    return words;
}

// The keyword `typed` stands for, if any: an exact match, or an
// abbreviation that covers the keyword's leading capitals.
inline std::optional<std::string> matchKeyword(const std::string& typed, const std::vector<std::string>& keywords) {
    if (typed.empty()) return std::nullopt;
    for (const std::string& k : keywords)
        if (namesEqual(typed, k)) return k;
    for (const std::string& k : keywords) {
        std::size_t capitals = 0;
        while (capitals < k.size() && k[capitals] >= 'A' && k[capitals] <= 'Z') ++capitals;
        if (typed.size() >= std::max<std::size_t>(capitals, 1) && typed.size() <= k.size() &&
            namesEqual(typed, std::string_view(k).substr(0, typed.size())))
            return k;
    }
    return std::nullopt;
}

// Reads one input at `prompt` honouring the last ads_initget: Enter is
// RTNONE unless refused, keywords give RTKWORD, "^C" or the end of input
// cancels. `accept` checks a value and prints why it is refused.
template <typename Accept>
Reading readInput(const char* prompt, bool allowSpaces, Accept accept) {
    Host& h = *theHost();
    Host::InputControl control = h.takeInputControl();
    std::vector<std::string> keywords;
    for (const std::string& k : control.keywords) keywords.push_back(k);
    while (true) {
        std::optional<std::string> typed = h.commandLine().read(prompt ? prompt : "", allowSpaces);
        if (!typed || *typed == "^C") {
            if (typed) h.print("*Cancel*\n");
            return {Outcome::Cancel, {}};
        }
        if (typed->empty()) {
            if (control.flags & RSG_NONULL) {
                h.print("Requires a value.\n");
                continue;
            }
            return {Outcome::None, {}};
        }
        if (auto k = matchKeyword(*typed, keywords)) {
            h.lastKeyword() = *k;
            return {Outcome::Keyword, *k};
        }
        if (accept(*typed, control.flags)) return {Outcome::Value, *typed};
        if (control.flags & RSG_OTHER) {
            h.lastKeyword() = *typed;
            return {Outcome::Keyword, *typed};
        }
    }
}

inline int statusOf(Outcome o) {
    switch (o) {
    case Outcome::Value: return RTNORM;
    case Outcome::None: return RTNONE;
    case Outcome::Keyword: return RTKWORD;
    case Outcome::Cancel: return RTCAN;
    }
    return RTERROR;
}

}  // namespace host::ads
