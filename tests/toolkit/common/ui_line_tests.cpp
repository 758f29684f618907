// The words of the script's UI lines, as every backend reads them.
#include <gtest/gtest.h>

#include "tk/common/ui_line.h"

using tk::common::LineError;
using tk::common::uiWords;

TEST(UiLine, SplitsWordsKeepsQuotedBlanksAndLowersTheAction) {
    EXPECT_EQ(uiWords("  @SELECT 1002 \"Level 2 plan\" x"),
              (std::vector<std::string>{"select", "1002", "Level 2 plan", "x"}));
    EXPECT_EQ(uiWords("ok"), std::vector<std::string>{"ok"});
    EXPECT_EQ(uiWords("@edit 1 \"a \\\"b\\\"\""), (std::vector<std::string>{"edit", "1", "a \"b\""}));
    EXPECT_THROW(uiWords("@"), LineError);
    EXPECT_THROW(uiWords("   "), LineError);
    EXPECT_THROW(uiWords("@edit 1 \"open"), LineError);
}

TEST(UiLine, ReadsIntegersWithinTheIntRange) {
    EXPECT_EQ(tk::common::uiInteger("1038", "an id"), 1038);
    EXPECT_EQ(tk::common::uiInteger("0x10", "an id"), 16);
    EXPECT_THROW(tk::common::uiInteger("99999999999", "an id"), LineError);
    EXPECT_THROW(tk::common::uiInteger("12a", "an id"), LineError);
    try {
        tk::common::uiInteger("x", "a control identifier");
        FAIL();
    } catch (const LineError& e) {
        EXPECT_STREQ(e.what(), "\"x\" is not a control identifier");
    }
}
