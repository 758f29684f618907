#include "commands/layer_name_lists.h"

#include <algorithm>

#include "db/record.h"
#include "wildcard/wildcard.h"

namespace host {
namespace {

bool special(char c) {
    switch (c) {
    case '*': case '?': case '#': case '@': case '.': case '[': case ']': case '~': case '`': return true;
    default: return false;
    }
}

bool plain(std::string_view text) { return std::none_of(text.begin(), text.end(), special); }

}  // namespace

std::vector<std::string_view> splitNameList(std::string_view list) { return wildcard::splitPatternList(list); }

void NameListMatcher::addLength(std::vector<std::size_t>& lengths, std::size_t length) {
    auto at = std::lower_bound(lengths.begin(), lengths.end(), length);
    if (at == lengths.end() || *at != length) lengths.insert(at, length);
}

bool NameListMatcher::matchGeneral(std::string_view name, const std::string& pattern) {
    return wildcard::wildcardMatch(name, pattern, true);
}

std::size_t NameListMatcher::addList(std::string_view list) {
    std::size_t listIndex = listCount_++;
    for (std::string_view p : splitNameList(list)) {
        if (p.empty()) continue;
        auto patternIndex = static_cast<std::uint32_t>(patterns_.size());
        bool wildcard = !plain(p);
        patterns_.push_back(Pattern{listIndex, std::string(p), wildcard});
        auto entry = std::make_pair(static_cast<std::uint32_t>(listIndex), patternIndex);
        if (p.size() > 1 && p[0] == '~') {
            std::string_view inner = p.substr(1);
            bool prefix = inner.back() == '*' && plain(inner.substr(0, inner.size() - 1));
            if (plain(inner) || prefix) {
                negated_.push_back(Negated{listIndex, patternIndex,
                                           upperName(prefix ? inner.substr(0, inner.size() - 1) : inner), prefix});
                continue;
            }
        }
        if (p == "*") {
            everything_.push_back(entry);
        } else if (!wildcard) {
            literals_[upperName(p)].push_back(entry);
        } else if (p.back() == '*' && plain(p.substr(0, p.size() - 1))) {
            std::string_view prefix = p.substr(0, p.size() - 1);
            prefixes_[upperName(prefix)].push_back(entry);
            addLength(prefixLengths_, prefix.size());
        } else if (p.size() >= 3 && p[0] == '*' && p[1] == '|' && p.back() == '*' &&
                   plain(p.substr(2, p.size() - 3))) {
            std::string_view prefix = p.substr(2, p.size() - 3);
            referencePrefixes_[upperName(prefix)].push_back(entry);
            addLength(referencePrefixLengths_, prefix.size());
        } else {
            general_.push_back(General{listIndex, patternIndex, std::string(p)});
        }
    }
    return listIndex;
}

}  // namespace host
