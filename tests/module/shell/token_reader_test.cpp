#include "shell/token_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A file holding `text`, opened for reading in text mode.
struct TextFile {
    std::FILE* file;
    explicit TextFile(const std::string& text) : file(std::tmpfile()) {
        std::fputs(text.c_str(), file);
        std::rewind(file);
    }
    ~TextFile() { std::fclose(file); }
};

}  // namespace

TEST(TokenReader, QuotedUnquotedEmptyAndLineEnds) {
    TextFile f("  \"two words\" plain\n\"\"\tnext\r\n\"multi\nline\" 42\n");
    std::string t;
    ASSERT_TRUE(zan::readTextToken(f.file, t));
    EXPECT_EQ(t, "two words");
    ASSERT_TRUE(zan::readTextToken(f.file, t));
    EXPECT_EQ(t, "plain");
    ASSERT_TRUE(zan::readTextToken(f.file, t));
    EXPECT_EQ(t, "");
    ASSERT_TRUE(zan::readTextToken(f.file, t));
    EXPECT_EQ(t, "next");
    ASSERT_TRUE(zan::readTextToken(f.file, t));
    EXPECT_EQ(t, "multi\nline");
    EXPECT_EQ(zan::readIntToken(f.file), 42);
    EXPECT_FALSE(zan::readTextToken(f.file, t));  // end of file: no token, no wait
    EXPECT_EQ(t, "");
}

TEST(TokenReader, EndOfFileEndsATokenAndLongTokensAreCut) {
    TextFile unterminated("\"open quote runs to the end");
    std::string t;
    ASSERT_TRUE(zan::readTextToken(unterminated.file, t));
    EXPECT_EQ(t, "open quote runs to the end");

    TextFile bare("last");
    ASSERT_TRUE(zan::readTextToken(bare.file, t));
    EXPECT_EQ(t, "last");

    TextFile longToken(std::string(300, 'a') + " after");
    ASSERT_TRUE(zan::readTextToken(longToken.file, t));
    EXPECT_EQ(t.size(), 127u);
    ASSERT_TRUE(zan::readTextToken(longToken.file, t));
    EXPECT_EQ(t, "after");  // the rest of the long token was skipped, not read as a token

    TextFile longNumber(std::string(60, '9') + " 5");
    EXPECT_EQ(zan::readIntToken(longNumber.file), 2147483647);  // saturates instead of overflowing
    EXPECT_EQ(zan::readIntToken(longNumber.file), 5);
}

TEST(TokenReader, IntegersUseTheLeadingDigits) {
    EXPECT_EQ(zan::leadingInteger("12abc"), 12);
    EXPECT_EQ(zan::leadingInteger("-7"), -7);
    EXPECT_EQ(zan::leadingInteger("+3x"), 3);
    EXPECT_EQ(zan::leadingInteger("abc"), 0);
    EXPECT_EQ(zan::leadingInteger(""), 0);
    EXPECT_EQ(zan::leadingInteger("- 4"), 0);
}
