#include "core/wildcard.h"

#include <gtest/gtest.h>

using host::wildcardMatch;

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
