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

TEST(HostCommands, HelpListsEveryHostCommandAndTheApplicationsCommands) {
    SessionHarness h(true);
    h.run("HELP\n");
    const std::string help = h.transcript();
    for (const std::string& name : h.host().commands().names())
        EXPECT_NE(help.find("\n  " + name), std::string::npos) << name;
    EXPECT_NE(help.find("  LAYER       makes, sets and switches layers"), std::string::npos);
    EXPECT_NE(help.find("Commands of loaded applications:\n"), std::string::npos);
    for (const char* command : {"DLCONFIG", "LEVELBAR", "ZANPREF", "XREFLIST"})
        EXPECT_NE(help.find(std::string("\n  ") + command + "\n"), std::string::npos) << command;
    EXPECT_NE(help.find("  (ZAN_SYMBOL_INSERT)\n"), std::string::npos);

    h.clearTranscript();
    h.run("?\n");
    EXPECT_EQ(h.transcript().find("Unknown command"), std::string::npos);
    EXPECT_NE(h.transcript().find("Host commands:\n"), std::string::npos);
}

TEST(HostCommands, EveryHostCommandHasAHelpLine) {
    SessionHarness h(false);
    h.run("HELP\n");
    for (const std::string& name : h.host().commands().names()) {
        std::size_t at = h.transcript().find("\n  " + name + " ");
        EXPECT_NE(at, std::string::npos) << name << " has no summary";
    }
}

// With CMDECHO 0 a command an application runs shows neither its prompts nor
// what it reports, only why something failed; typed commands show all.
TEST(HostCommands, CmdechoZeroSilencesWhatApplicationCommandsSayButNotTheirErrors) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    h.run("UCS S Front\n");
    ASSERT_EQ(ads_command(RTSTR, "_.UCS", RTSTR, "Restore", RTSTR, "Front", 0), RTNORM);
    EXPECT_NE(h.transcript().find("Current ucs name:  *WORLD*\nEnter an option"), std::string::npos) << h.transcript();

    h.run("SETVAR CMDECHO 0\n");
    h.session().attach(none);
    h.clearTranscript();
    ASSERT_EQ(ads_command(RTSTR, "_.UCS", RTSTR, "Restore", RTSTR, "Front", 0), RTNORM);
    ASSERT_EQ(ads_command(RTSTR, "_.LAYER", RTSTR, "Freeze", RTSTR, "*", RTSTR, "", 0), RTNORM);
    EXPECT_EQ(h.transcript(), "Cannot freeze layer \"0\".  It is the CURRENT layer.\n");
    ASSERT_EQ(ads_command(RTSTR, "_.UCS", RTSTR, "Restore", RTSTR, "Nowhere", 0), RTNORM);
    EXPECT_NE(h.transcript().find("Cannot find UCS \"Nowhere\"."), std::string::npos);

    h.clearTranscript();
    h.run("UCS\n\n");
    EXPECT_NE(h.transcript().find("Current ucs name:  Front"), std::string::npos) << h.transcript();
}
