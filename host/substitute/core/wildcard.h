// The host's wildcard patterns, as used in name lists and selection
// filters: comma-separated patterns, any of which may match; "*" any run,
// "?" any character, "#" a digit, "@" a letter, "." a character that is
// neither, "[...]" any of (ranges with "-"), "[~...]" none of, a leading "~"
// negates a pattern, and the reverse quote takes the next character as it is.
#pragma once

#include <string_view>
#include <vector>

namespace host {

// The patterns of a comma-separated list; commas inside [...] or after a
// reverse quote do not separate.
std::vector<std::string_view> splitPatternList(std::string_view list);

bool wildcardMatch(std::string_view text, std::string_view patternList, bool ignoreCase);
// True when the list holds a character that is special in patterns.
bool hasWildcards(std::string_view patternList);

}  // namespace host
