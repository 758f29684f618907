#include "wildcard/wildcard.h"

#include <gtest/gtest.h>

using wildcard::patternMatch;
using wildcard::wildcardMatch;

TEST(Wildcard, SpecialCharacters) {
    EXPECT_TRUE(wildcardMatch("A-WALL", "A-*", true));
    EXPECT_TRUE(wildcardMatch("a-wall", "A-*", true));
    EXPECT_FALSE(wildcardMatch("a-wall", "A-*", false));
    EXPECT_TRUE(wildcardMatch("A1", "A#", true));
    EXPECT_FALSE(wildcardMatch("AB", "A#", true));
    EXPECT_TRUE(wildcardMatch("AB", "A@", true));
    EXPECT_TRUE(wildcardMatch("A-", "A.", true));
    EXPECT_FALSE(wildcardMatch("AB", "A.", true));
    EXPECT_TRUE(wildcardMatch("ABC", "A?C", true));
    EXPECT_FALSE(wildcardMatch("AC", "A?C", true));
    EXPECT_TRUE(wildcardMatch("PLAN|A-WALL", "*|A-*", true));
}

TEST(Wildcard, ClassesNegationListsAndEscapes) {
    EXPECT_TRUE(wildcardMatch("B-WALL", "[AB]-*", true));
    EXPECT_FALSE(wildcardMatch("C-WALL", "[AB]-*", true));
    EXPECT_TRUE(wildcardMatch("C-WALL", "[~AB]-*", true));
    EXPECT_TRUE(wildcardMatch("D-WALL", "[A-D]-*", true));
    EXPECT_TRUE(wildcardMatch("WALL", "~A-*", true));
    EXPECT_FALSE(wildcardMatch("A-WALL", "~A-*", true));
    EXPECT_TRUE(wildcardMatch("B-DOOR", "A-*,B-*", true));
    EXPECT_FALSE(wildcardMatch("C-DOOR", "A-*,B-*", true));
    EXPECT_TRUE(wildcardMatch("A*B", "A`*B", true));
    EXPECT_FALSE(wildcardMatch("AXB", "A`*B", true));
    EXPECT_TRUE(wildcardMatch("A,B", "A`,B", true));
    EXPECT_TRUE(wildcardMatch("ANYTHING", "*", true));
    EXPECT_TRUE(wildcardMatch("", "*", true));
}

// One pattern on its own, as a restore's preview matches each pattern it
// sends: a comma is an ordinary character and a leading "~" negates.
TEST(Wildcard, OnePattern) {
    EXPECT_TRUE(patternMatch("a-wall", "A-*", true));
    EXPECT_FALSE(patternMatch("a-wall", "A-*", false));
    EXPECT_TRUE(patternMatch("X1-GRID", "X#-GRID", true));
    EXPECT_FALSE(patternMatch("XA-GRID", "X#-GRID", true));
    EXPECT_TRUE(patternMatch("B-WALL", "~0", true));
    EXPECT_FALSE(patternMatch("0", "~0", true));
    EXPECT_TRUE(patternMatch("A,B", "A,B", true));
    EXPECT_FALSE(patternMatch("A", "A,B", true));
    EXPECT_TRUE(patternMatch("C-TEXT", "[A-C]-TEXT", true));
    EXPECT_TRUE(patternMatch("A*B", "A`*B", true));
    EXPECT_FALSE(patternMatch("AxB", "A`*B", true));
    // An unclosed class runs to the end of the pattern; a lone reverse quote
    // at the end matches itself.
    EXPECT_TRUE(patternMatch("B", "[AB", true));
    EXPECT_TRUE(patternMatch("A`", "A`", true));
}

// Each pattern of a list gives the same answer as the list holding it alone.
TEST(Wildcard, ListIsAnyOfItsPatterns) {
    const char* names[] = {"A-WALL", "PLAN|A-WALL", "0", "B1", "A,B", "", "x.y"};
    const char* lists[] = {"A-*,B#", "~A-*,0", "*|A-*,[AB]?", "A`,B,x@y", "x.y,~*"};
    for (const char* list : lists)
        for (const char* name : names) {
            bool any = false;
            for (std::string_view p : wildcard::splitPatternList(list)) any = any || patternMatch(name, p, true);
            EXPECT_EQ(wildcardMatch(name, list, true), any) << name << " in " << list;
        }
}
