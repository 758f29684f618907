#include "text/ascii_upper.h"
#include "text/text_hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

char foldOne(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Every byte value, at every position of a word and in the tail, folds as the
// byte-wise rule does: the neighbours of the letter ranges ('@' '[' '`' '{'),
// bytes with the high bit set and NUL are kept.
TEST(AsciiUpper, EveryByteAtEveryPositionAndLength) {
    for (std::size_t length = 0; length <= 19; ++length) {
        for (int value = 0; value < 256; ++value) {
            for (std::size_t at = 0; at < length; ++at) {
                std::string in(length, 'q');
                in[at] = static_cast<char>(value);
                std::string expected = in;
                for (char& c : expected) c = foldOne(c);
                std::string out(length, '\0');
                ascii::upperAscii(in.data(), in.size(), out.data());
                ASSERT_EQ(out, expected) << "length " << length << " byte " << value << " at " << at;
            }
        }
    }
}

// Lower-casing a word: every byte value at every place, the other bytes
// upper-case letters that must turn.
TEST(AsciiUpper, LowerWordTurnsEveryCapitalAndNothingElse) {
    for (int value = 0; value < 256; ++value) {
        for (std::size_t at = 0; at < 8; ++at) {
            char in[8] = {'Q', 'Q', 'Q', 'Q', 'Q', 'Q', 'Q', 'Q'};
            in[at] = static_cast<char>(value);
            char expected[8];
            for (std::size_t i = 0; i < 8; ++i) {
                const auto c = static_cast<unsigned char>(in[i]);
                expected[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : in[i];
            }
            std::uint64_t word;
            std::memcpy(&word, in, 8);
            word = ascii::lowerWord(word);
            ASSERT_EQ(std::memcmp(&word, expected, 8), 0) << "byte " << value << " at " << at;
        }
    }
}

TEST(AsciiUpper, InPlaceAndMixedText) {
    std::string text = "Level-07|wall_Ext@z{a}`[Z]\xc3\xa9t\xc3\xa9";
    std::string expected = text;
    for (char& c : expected) c = foldOne(c);
    ascii::upperAscii(text.data(), text.size(), text.data());
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.substr(0, 14), "LEVEL-07|WALL_");
}

// The lookup tables' hash: a text's bytes and length all count (a prefix,
// the text with a NUL added, texts that differ in one byte of the tail or of
// a whole word), and the level names of a large drawing spread over the
// buckets without piling up.
TEST(TextHash, EveryByteCountsAndNamesSpread) {
    const std::string name = "L0042-WALL-EXTERIOR";
    std::unordered_set<std::size_t> seen;
    for (std::size_t length = 0; length <= name.size(); ++length) {
        const std::string text = name.substr(0, length);
        EXPECT_TRUE(seen.insert(ascii::hashText(text)).second) << text;
        EXPECT_EQ(ascii::hashText(text), ascii::hashText(std::string_view(text)));
        for (std::size_t at = 0; at < length; ++at) {
            std::string changed = text;
            changed[at] = static_cast<char>(changed[at] ^ 1);
            EXPECT_NE(ascii::hashText(changed), ascii::hashText(text)) << changed;
        }
    }
    EXPECT_NE(ascii::hashText(std::string_view("AB\0", 3)), ascii::hashText("AB"));

    constexpr std::size_t kBuckets = 1031;
    std::vector<int> load(kBuckets, 0);
    char text[16];
    for (int level = 0; level < 10000; ++level) {
        std::snprintf(text, sizeof text, "L%04d-", level);
        ++load[ascii::hashText(text) % kBuckets];
    }
    int fullest = 0;
    for (int n : load) fullest = std::max(fullest, n);
    EXPECT_LT(fullest, 30);  // about 10 a bucket on average
}

}  // namespace
