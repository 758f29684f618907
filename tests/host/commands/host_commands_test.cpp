// Host commands typed at the command line and sent by ads_command.
#include <gtest/gtest.h>

#include "ads/adslib.h"
#include "db/viewports.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

std::string var(SessionHarness& h, const char* name) { return h.db().variables().text(name); }
long long intVar(SessionHarness& h, const char* name) { return h.db().variables().integer(name); }

}  // namespace

TEST(HostCommands, SpaceOrLineEndEndsAnInputAndPrefixesAreAccepted) {
    SessionHarness h(false);
    h.run("_.HANDLES OFF\n-SETVAR CMDECHO 0\n");
    EXPECT_EQ(intVar(h, "HANDLES"), 0);
    EXPECT_EQ(intVar(h, "CMDECHO"), 0);
    h.run("handles\non\n");
    EXPECT_EQ(intVar(h, "HANDLES"), 1);
    EXPECT_NE(h.transcript().find("Command: "), std::string::npos);
}

TEST(HostCommands, UnknownCommandAndUnknownFunctionAreReported) {
    SessionHarness h(false);
    h.run("FROBNICATE\n(NOSUCH)\n");
    EXPECT_NE(h.transcript().find("Unknown command \"FROBNICATE\"."), std::string::npos);
    EXPECT_NE(h.transcript().find("; error: no function definition: NOSUCH"), std::string::npos);
}

TEST(HostCommands, ApplicationFeedsACommandAcrossCallsAndAnEmptyCallCancels) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    ASSERT_EQ(ads_command(RTSTR, "SETVAR", RTSTR, "OSMODE", 0), RTNORM);
    EXPECT_TRUE(h.host().commands().active());
    ASSERT_EQ(ads_command(RTSTR, "7", 0), RTNORM);
    EXPECT_FALSE(h.host().commands().active());
    EXPECT_EQ(intVar(h, "OSMODE"), 7);

    ASSERT_EQ(ads_command(RTSTR, "SETVAR", 0), RTNORM);
    EXPECT_TRUE(h.host().commands().active());
    ASSERT_EQ(ads_command(0), RTNORM);
    EXPECT_FALSE(h.host().commands().active());
    EXPECT_NE(h.transcript().find("*Cancel*"), std::string::npos);

    EXPECT_EQ(ads_command(RTSTR, "NOSUCHCOMMAND", 0), RTERROR);
    // Arguments left over when a command ends start the next command.
    ASSERT_EQ(ads_command(RTSTR, "HANDLES", RTSTR, "OFF", RTSTR, "SETVAR", RTSTR, "OSMODE", RTSHORT, 3, 0), RTNORM);
    EXPECT_EQ(intVar(h, "HANDLES"), 0);
    EXPECT_EQ(intVar(h, "OSMODE"), 3);
}

TEST(HostCommands, TilemodeMspaceAndPspaceSwitchTheActiveViewport) {
    SessionHarness h(false);
    h.run("TILEMODE 0\n");
    EXPECT_EQ(intVar(h, "TILEMODE"), 0);
    EXPECT_EQ(intVar(h, "CVPORT"), 1);
    EXPECT_TRUE(h.host().paperSpaceCurrent());
    h.run("MSPACE\n");
    EXPECT_NE(h.transcript().find("There are no active model space viewports."), std::string::npos);

    // A floating viewport in paper space can be made active.
    ads_point center = {5, 5, 0};
    resbuf* vp = ads_buildlist(RTDXF0, "VIEWPORT", 67, 1, 10, center, 40, 4.0, 41, 3.0, 68, 2, 69, 2, 0);
    ASSERT_EQ(ads_entmake(vp), RTNORM);
    ads_relrb(vp);
    h.run("_.MSPACE\n");
    EXPECT_EQ(intVar(h, "CVPORT"), 2);
    EXPECT_FALSE(h.host().paperSpaceCurrent());
    int active = 0;
    for (host::RecordId id : host::paperViewports(h.host().db()))
        if (h.db().at(id).integer(68) == 1) {
            ++active;
            EXPECT_EQ(h.db().at(id).integer(69), 2);
        }
    EXPECT_EQ(active, 1);
    h.run("PSPACE\n");
    EXPECT_EQ(intVar(h, "CVPORT"), 1);
    h.run("TILEMODE\n1\nMSPACE\n");
    EXPECT_EQ(intVar(h, "TILEMODE"), 1);
    EXPECT_NE(h.transcript().find("** Command not allowed in Model Tab **"), std::string::npos);
}

TEST(HostCommands, EraseTakesASelectionSetOrAWindow) {
    SessionHarness h(false);
    auto line = [](double x0, double y0, double x1, double y1) {
        ads_point a = {x0, y0, 0}, b = {x1, y1, 0};
        resbuf* rb = ads_buildlist(RTDXF0, "LINE", 8, "A-WALL", 10, a, 11, b, 0);
        int status = ads_entmake(rb);
        ads_relrb(rb);
        return status;
    };
    ASSERT_EQ(line(0, 0, 10, 0), RTNORM);
    ASSERT_EQ(line(0, 5, 10, 5), RTNORM);
    ASSERT_EQ(line(100, 100, 110, 100), RTNORM);
    EXPECT_EQ(var(h, "CLAYER"), "0");  // entmake made the layer but did not switch to it
    EXPECT_NE(h.db().findEntry("LAYER", "a-wall"), host::kNoRecord);

    zan::app::Script none("");
    h.session().attach(none);
    ads_name all;
    resbuf* filter = ads_buildlist(8, "A-WALL", 0);
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, filter, all), RTNORM);
    ads_relrb(filter);
    long n = 0;
    ads_sslength(all, &n);
    EXPECT_EQ(n, 3);
    ads_name first;
    ads_ssname(all, 0, first);
    ads_name one;
    ads_ssadd(first, nullptr, one);
    ASSERT_EQ(ads_command(RTSTR, "ERASE", RTPICKS, one, RTSTR, "", 0), RTNORM);
    EXPECT_EQ(ads_entget(first), nullptr);
    ads_ssfree(one);
    ads_ssfree(all);

    h.run("ERASE W -1,-1 20,20\n\n");
    EXPECT_NE(h.transcript().find("1 found"), std::string::npos);
    ads_name rest;
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, nullptr, rest), RTNORM);
    ads_sslength(rest, &n);
    EXPECT_EQ(n, 1);  // only the far line is left
    ads_ssfree(rest);
}
