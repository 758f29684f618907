// The built module loaded by the host and driven by scripts: registration,
// the lazy drawing initialization and the save-time check.
#include <gtest/gtest.h>

#include "ads/adslib.h"
#include "dxf/dxf.h"
#include "support/session_harness.h"
#include "tk/platform.h"

using zan::test::SessionHarness;

namespace {

long markerCount(const char* block) {
    resbuf* filter = ads_buildlist(RTDXF0, "INSERT", 2, block, 0);
    ads_name ss;
    int status = ads_ssget("X", nullptr, nullptr, filter, ss);
    ads_relrb(filter);
    if (status != RTNORM) return 0;
    long n = 0;
    ads_sslength(ss, &n);
    ads_ssfree(ss);
    return n;
}

long appidCount(const char* name) {
    long n = 0;
    for (resbuf* rb = ads_tblnext("APPID", 1); rb; rb = ads_tblnext("APPID", 0)) {
        for (resbuf* i = rb; i; i = i->rbnext)
            if (i->restype == 2 && std::string(i->resval.rstring) == name) ++n;
        ads_relrb(rb);
    }
    return n;
}

}  // namespace

TEST(ModuleLifecycle, FirstCommandInitialisesOnceAndMakesTheMarker) {
    SessionHarness h;
    ASSERT_EQ(h.run("xreflist\nlayerview\nlayerfilter\n"), 0);
    EXPECT_EQ(h.count("\nZAN is initializing...\n"), 1u);
    EXPECT_EQ(h.transcript().find("Handles are now enabled."), std::string::npos);  // already on
    EXPECT_EQ(markerCount("TUV_INIT_OBJ"), 1);
    EXPECT_EQ(appidCount("TUV_1001001"), 1);
    EXPECT_NE(h.db().block("TUV_INIT_OBJ"), nullptr);
}

TEST(ModuleLifecycle, ClearinitRemovesTheMarkerAndALaterCommandDoesNotInitialiseAgain) {
    SessionHarness h;
    ASSERT_EQ(h.run("clearinit\nxreflist\n"), 0);
    EXPECT_EQ(h.count("\nZAN is initializing...\n"), 1u);
    EXPECT_EQ(markerCount("TUV_INIT_OBJ"), 0);
    // Unknown as a command name without its registration prefix? No: typed names find "C:" commands.
    EXPECT_EQ(h.transcript().find("Unknown command"), std::string::npos);
}

TEST(ModuleLifecycle, HandlesOffIsTurnedOnAndAnExistingAppidIsKept) {
    SessionHarness h;
    h.run("HANDLES OFF\n");
    ASSERT_EQ(ads_regapp("TUV_1001001"), RTNORM);
    h.clearTranscript();
    h.run("xreflist\n");
    EXPECT_NE(h.transcript().find("Handles are now enabled.\n"), std::string::npos);
    EXPECT_EQ(h.db().variables().integer("HANDLES"), 1);
    EXPECT_EQ(appidCount("TUV_1001001"), 1);
    EXPECT_EQ(h.transcript().find("Unable to register"), std::string::npos);
}

TEST(ModuleLifecycle, SavetimeZeroShowsTheBannerAndWaitsForOneInput) {
    {
        SessionHarness quiet;
        EXPECT_EQ(quiet.transcript().find("SAVETIME"), std::string::npos);
    }
    SessionHarness h;
    zan::app::Script script("5\nxreflist\n");
    h.session().attach(script);
    auto drawing = host::dxf::newDrawing();
    drawing->variables().setInteger("SAVETIME", 0);
    h.clearTranscript();
    h.host().openDrawing(std::move(drawing), "");
    EXPECT_NE(h.transcript().find("Unloading.\n"), std::string::npos);
    EXPECT_NE(h.transcript().find("*******        SAVETIME VARIABLE IS SET TO ZERO     ********\n"
                                  "*******            HIT ANY KEY TO CONTINUE          ********\n"),
              std::string::npos);
    EXPECT_NE(h.transcript().find("[text screen]"), std::string::npos);
    EXPECT_NE(h.transcript().find("[graphics screen]"), std::string::npos);
    ASSERT_EQ(h.session().run(), 0);
    // "5" answered the banner; the next line ran as a command in the new drawing.
    EXPECT_EQ(h.count("ZAN is initializing"), 1u);
    EXPECT_EQ(h.transcript().find("Unknown command \"5\""), std::string::npos);

}

TEST(ModuleLifecycle, CommandTextSentToTheMainWindowRunsWhenTheHostIsIdle) {
    SessionHarness h(true, true);
    const char text[] = "HANDLES OFF ";
    tk::platform().sendCopyData(h.host().mainWindow(), 1, text, sizeof text);
    EXPECT_EQ(h.db().variables().integer("HANDLES"), 1);  // queued, not run yet
    h.run("");
    EXPECT_EQ(h.db().variables().integer("HANDLES"), 0);
    EXPECT_NE(h.transcript().find("[trace] text: \"HANDLES OFF \""), std::string::npos);
}

TEST(ModuleLifecycle, AModalElementWithoutAnAnswerStopsTheRun) {
    SessionHarness h;
    h.host().commands().define("ASK", [](host::CommandContext&) {
        tk::platform().messageBox(nullptr, "Proceed?", "Test", tk::MB_YESNO);
    });
    EXPECT_EQ(h.run("ASK\nxreflist\n"), 2);
    EXPECT_NE(h.session().error().find("Proceed?"), std::string::npos);
    EXPECT_EQ(h.count("ZAN is initializing"), 0u);  // the run stopped at once
}
