// The input functions: values, Enter, cancel and keywords.
#include <gtest/gtest.h>

#include "ads/adslib.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

TEST(AdsInput, ValuesEnterCancelAndKeywords) {
    SessionHarness h(false);
    zan::app::Script script("12\n\n^C\nabc 7\nR 1,2 @1,1\nname with spaces\nB\n");
    h.session().attach(script);
    int i = 0;
    EXPECT_EQ(ads_getint("Number: ", &i), RTNORM);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(ads_getint("Number: ", &i), RTNONE);
    EXPECT_EQ(ads_getint("Number: ", &i), RTCAN);
    EXPECT_EQ(ads_getint("Number: ", &i), RTNORM);  // "abc" is refused and asked again
    EXPECT_EQ(i, 7);
    EXPECT_NE(h.transcript().find("Requires an integer value."), std::string::npos);

    ads_initget(0, "Redo Back");
    ads_point p;
    EXPECT_EQ(ads_getpoint(nullptr, "Point: ", p), RTKWORD);
    char keyword[ADS_MAX_STRING];
    ads_getinput(keyword);
    EXPECT_STREQ(keyword, "Redo");
    EXPECT_EQ(ads_getpoint(nullptr, "Point: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 1);
    EXPECT_DOUBLE_EQ(p[1], 2);
    EXPECT_EQ(ads_getpoint(nullptr, "Point: ", p), RTNORM);  // relative to the last point
    EXPECT_DOUBLE_EQ(p[0], 2);
    EXPECT_DOUBLE_EQ(p[1], 3);

    char text[ADS_MAX_STRING];
    EXPECT_EQ(ads_getstring(1, "Name: ", text), RTNORM);
    EXPECT_STREQ(text, "name with spaces");
    ads_initget(RSG_NONULL, "Alpha Beta");
    EXPECT_EQ(ads_getkword("Option: ", text), RTNORM);
    EXPECT_STREQ(text, "Beta");
    EXPECT_EQ(ads_getint("Number: ", &i), RTCAN);  // input has ended
}

TEST(AdsInput, LongInputIsCutToTheCallersBuffer) {
    SessionHarness h(false);
    zan::app::Script script(std::string(500, 'x') + "\n");
    h.session().attach(script);
    char text[ADS_MAX_STRING + 8];
    std::fill(std::begin(text), std::end(text), '#');
    EXPECT_EQ(ads_getstring(1, "Name: ", text), RTNORM);
    EXPECT_EQ(std::string(text).size(), static_cast<std::size_t>(ADS_MAX_STRING - 1));
    EXPECT_EQ(text[ADS_MAX_STRING], '#');  // nothing written past the buffer
}
