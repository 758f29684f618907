// Numbers and points typed at the command line: "nan", "inf" and sums beyond
// the largest number are refused like any other text that is no number.
#include <gtest/gtest.h>

#include "core/command_processor.h"
#include "db/group.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

TEST(TypedNumbers, NotFiniteNumbersAndPointsAreRefused) {
    for (const char* text : {"nan", "-nan", "inf", "-Infinity", "1e999"}) EXPECT_FALSE(host::parseReal(text)) << text;
    EXPECT_EQ(host::parseReal("-1.5e3"), -1500.0);
    const std::array<double, 3> base = {1.7e308, 0, 0};
    EXPECT_FALSE(host::parsePointText("nan,1"));
    EXPECT_FALSE(host::parsePointText("@1.7e308,0", &base));
    EXPECT_TRUE(host::parsePointText("@-1.7e308,0", &base));

    SessionHarness h(false);
    h.run("LINE nan,0\ninf,1\n0,0\n1,1\n\n");
    EXPECT_EQ(h.count("Invalid point.\n"), 2u) << h.transcript();
    EXPECT_EQ(h.db().entities().size(), 1u);
}
