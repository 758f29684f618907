// The script: plain lines, UI lines, comments, and answers typed at a terminal.
#include "session/script.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(Script, PlainAndUiLinesAreTakenByTheirReadersAndCommentsSkipped) {
    zan::app::Script script("# a comment\nLINE\n  @ok\n@file /tmp/x\nQUIT\n");
    EXPECT_EQ(script.takeUiLine(), std::nullopt);  // the next line is command-line input
    EXPECT_EQ(script.nextLine(), "LINE");
    EXPECT_EQ(script.takeUiLine(), "@ok");
    EXPECT_EQ(script.takeUiLine(), "@file /tmp/x");
    EXPECT_EQ(script.takeUiLine(), std::nullopt);
    EXPECT_EQ(script.nextLine(), "QUIT");
    EXPECT_EQ(script.nextLine(), std::nullopt);
    EXPECT_TRUE(script.echoInput());
}

TEST(Script, AtATerminalTheAnswerIsAskedForAndTakenWithOrWithoutItsAt) {
    std::istringstream typed("ok\n@click 1038\n\n");
    std::ostringstream shown;
    zan::app::Script script(typed, true, &shown);
    EXPECT_FALSE(script.echoInput());
    EXPECT_EQ(script.takeUiLine(), "@ok");
    EXPECT_EQ(script.takeUiLine(), "@click 1038");
    EXPECT_EQ(script.takeUiLine(), "@");  // an empty answer is refused by the element waiting
    EXPECT_EQ(shown.str(), "ui> ui> ui> ");
}

TEST(Script, OverLongLinesAreCut) {
    std::istringstream typed(std::string(20000, 'a') + "\nnext\n");
    zan::app::Script script(typed, false);
    EXPECT_EQ(script.nextLine()->size(), zan::app::Script::kMaxLine);
    EXPECT_EQ(script.nextLine(), "next");
}
