// The layer name patterns of a restore, matched the way the host's layer
// commands match them: the host's wildcards (* ? # @ . [..] ` and a leading
// ~ for "all but"), ignoring letter case. Patterns are added with the number
// of the step (the keyword-and-list pair) that sends them and whether that
// step freezes or thaws; for a name the set answers the last freezing and
// the last thawing step that names it. The usual patterns (a plain name,
// "PREFIX*" and "*|PREFIX*") are found by hash lookups, so a table of many
// layers is matched in time linear in its size.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_table.h"

namespace zan {

class StepPatterns {
public:
    void add(std::string_view pattern, int step, bool freeze);
    // The last step of each kind that names `name`; -1 for none.
    struct Last {
        int freeze = -1;
        int thaw = -1;
    };
    Last match(std::string_view name) const;

private:
    struct Steps {
        int freeze = -1;
        int thaw = -1;
        void note(int step, bool freezes) {
            int& slot = freezes ? freeze : thaw;
            if (step > slot) slot = step;
        }
    };
    // "~NAME" and "~PREFIX*": every name but those the plain pattern names.
    struct Negated {
        std::string text;  // upper case
        bool prefix = false;
        int step = 0;
        bool freeze = false;
    };
    struct General {
        std::string pattern;
        int step = 0;
        bool freeze = false;
    };
    static void merge(Last& last, const Steps& steps);
    static void addLength(std::vector<std::size_t>& lengths, std::size_t length);

    // Looked up by views of the folded name, without copying keys.
    using Index = ascii::TextTable<Steps>;
    static void merge(Last& last, const Index& index, std::string_view key);

    Index literals_;
    Index prefixes_;
    Index referencePrefixes_;
    std::vector<std::size_t> prefixLengths_;           // ascending
    std::vector<std::size_t> referencePrefixLengths_;  // ascending
    std::vector<Negated> negated_;
    std::vector<General> general_;
};

}  // namespace zan
