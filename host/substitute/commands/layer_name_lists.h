// Name lists of the layer commands ("A-*,*|A-*,WALL"), matched against the
// names of the layer table. Several lists are compiled together and every
// layer is tested once against all of them: the usual patterns (a plain
// name, a plain prefix followed by "*", and "*|" + prefix + "*" for layers
// of attached references) are found through hash lookups of the layer name
// and its prefixes, so that the cost grows with the number of layers and not
// with layers times patterns. Any other pattern is tried with the general
// wildcard matcher. Matching ignores letter case, as symbol names do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/ascii_upper.h"
#include "text/text_table.h"

namespace host {

class NameListMatcher {
public:
    // Adds a comma-separated list and returns its index. Empty patterns
    // (a trailing comma) are ignored.
    std::size_t addList(std::string_view list);
    std::size_t listCount() const { return listCount_; }

    // Calls onMatch(listIndex, patternIndex) for each pattern that matches
    // `name` (a list may be reported more than once).
    template <typename F>
    void match(std::string_view name, F&& onMatch) {
        // Written in place (the buffer keeps its room from name to name).
        upper_.resize(name.size());
        ascii::upperAscii(name.data(), name.size(), upper_.data());
        matchFolded(upper_, name, onMatch);
    }
    // The same for a name already in upper case (as a table's index keeps it).
    template <typename F>
    void matchUpper(const std::string& upperName, F&& onMatch) {
        matchFolded(upperName, upperName, onMatch);
    }

    // The patterns of a list as given, and whether each holds wildcards.
    struct Pattern {
        std::size_t list = 0;
        std::string text;
        bool wildcard = false;
    };
    const std::vector<Pattern>& patterns() const { return patterns_; }

private:
    template <typename F>
    void matchFolded(const std::string& upper, std::string_view name, F& onMatch) {
        const std::string_view folded = upper;
        for (auto [list, pattern] : everything_) onMatch(list, pattern);
        report(literals_, folded, onMatch);
        for (std::size_t length : prefixLengths_) {
            if (length > folded.size()) break;
            report(prefixes_, folded.substr(0, length), onMatch);
        }
        if (!referencePrefixLengths_.empty()) {
            for (std::size_t bar = folded.find('|'); bar != std::string::npos; bar = folded.find('|', bar + 1)) {
                for (std::size_t length : referencePrefixLengths_) {
                    if (bar + 1 + length > folded.size()) break;
                    report(referencePrefixes_, folded.substr(bar + 1, length), onMatch);
                }
            }
        }
        // "~NAME" and "~PREFIX*": everything but what the plain pattern matches.
        for (const Negated& n : negated_) {
            bool inner = n.prefix ? upper.compare(0, n.text.size(), n.text) == 0 && upper.size() >= n.text.size()
                                  : upper == n.text;
            if (!inner) onMatch(n.list, n.index);
        }
        for (const General& g : general_)
            if (matchGeneral(name, g.pattern)) onMatch(g.list, g.index);
    }

    struct Negated {
        std::size_t list = 0;
        std::size_t index = 0;
        std::string text;  // upper case
        bool prefix = false;
    };
    struct General {
        std::size_t list = 0;
        std::size_t index = 0;
        std::string pattern;
    };
    // Looked up by views of the name, without copying them into keys.
    using Index = ascii::TextTable<std::vector<std::pair<std::uint32_t, std::uint32_t>>>;

    template <typename F>
    static void report(const Index& index, std::string_view key, F& onMatch) {
        if (index.empty()) return;
        const auto* entries = index.find(key);
        if (!entries) return;
        for (auto [list, pattern] : *entries) onMatch(list, pattern);
    }
    static bool matchGeneral(std::string_view name, const std::string& pattern);
    static void addLength(std::vector<std::size_t>& lengths, std::size_t length);

    std::size_t listCount_ = 0;
    std::vector<Pattern> patterns_;
    Index literals_;
    Index prefixes_;
    Index referencePrefixes_;
    std::vector<std::size_t> prefixLengths_;           // ascending
    std::vector<std::size_t> referencePrefixLengths_;  // ascending
    std::vector<std::pair<std::uint32_t, std::uint32_t>> everything_;  // "*": every name, no lookup
    std::vector<Negated> negated_;
    std::vector<General> general_;
    std::string upper_;
};

// Splits a name list at its commas (not inside "[...]" and not after the
// reverse quote).
std::vector<std::string_view> splitNameList(std::string_view list);

}  // namespace host
