// Wildcard patterns of CAD names, as used in name lists and selection
// filters: comma-separated patterns, any of which may match; "*" any run,
// "?" any character, "#" a digit, "@" a letter, "." a character that is
// neither, "[...]" any of (ranges with "-"), "[~...]" none of, a leading "~"
// negates a pattern, and the reverse quote takes the next character as it is.
// Shared by the host's commands and the module's preview, so that both match
// a name the same way.
#pragma once

#include <string_view>
#include <vector>

namespace wildcard {

// The patterns of a comma-separated list; commas inside [...] or after a
// reverse quote do not separate.
std::vector<std::string_view> splitPatternList(std::string_view list);

// Whether `text` matches one pattern (a leading "~" negates it; a comma is an
// ordinary character here).
bool patternMatch(std::string_view text, std::string_view pattern, bool ignoreCase);
// Whether `text` matches any pattern of a comma-separated list.
bool wildcardMatch(std::string_view text, std::string_view patternList, bool ignoreCase);
// True when the list holds a character that is special in patterns.
bool hasWildcards(std::string_view patternList);

}  // namespace wildcard
