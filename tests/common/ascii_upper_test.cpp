#include "text/ascii_upper.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(AsciiUpper, InPlaceAndMixedText) {
    std::string text = "Level-07|wall_Ext@z{a}`[Z]\xc3\xa9t\xc3\xa9";
    std::string expected = text;
    for (char& c : expected) c = foldOne(c);
    ascii::upperAscii(text.data(), text.size(), text.data());
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.substr(0, 14), "LEVEL-07|WALL_");
}

}  // namespace
