// VPLAYER on paper space viewports (their frozen layers read back from the
// ACAD extended data), UCS and VIEW restore, and REGENAUTO.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ads/adslib.h"
#include "db/layers.h"
#include "db/viewport_layers.h"
#include "db/viewports.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

host::RecordId addViewport(SessionHarness& h, int number) {
    host::Record v;
    v.type = "VIEWPORT";
    v.groups = {{100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbViewport"}, {10, std::to_string(number * 100)},
                {20, "50"}, {30, "0"}, {40, "80"}, {41, "60"}, {68, "2"}, {69, std::to_string(number)},
                {12, "0"}, {22, "0"}, {45, "40"}, {90, "0"}};
    return h.db().addEntity(std::move(v), true);
}

std::vector<std::string> frozenIn(SessionHarness& h, host::RecordId viewport) {
    return host::viewportFrozenLayers(h.db().at(viewport));
}

struct Layout {
    SessionHarness h{false};
    host::RecordId vp2, vp3;
    Layout() {
        for (const char* n : {"A-WALL", "A-DOOR", "B-WALL"}) host::ensureLayer(h.db(), n);
        host::setTileMode(h.host().db(), 0);
        vp2 = addViewport(h, 2);
        vp3 = addViewport(h, 3);
    }
};

}  // namespace

TEST(Vplayer, FreezesAndThawsInAllViewportsThroughTheAcadData) {
    Layout l;
    l.h.run("vplayer f a-* a \n");
    EXPECT_EQ(frozenIn(l.h, l.vp2), (std::vector<std::string>{"A-WALL", "A-DOOR"}));
    EXPECT_EQ(frozenIn(l.h, l.vp3), (std::vector<std::string>{"A-WALL", "A-DOOR"}));
    // The data has the shape the real host gives it: MVIEW, braces, 1003 names.
    host::GroupList acad = l.h.db().at(l.vp2).xdataOf("ACAD");
    ASSERT_GE(acad.size(), 4u);
    EXPECT_EQ(acad[1].value, "MVIEW");
    EXPECT_EQ(acad.back().value, "}");
    // The 331 handles follow.
    int handles = 0;
    for (const host::Group& g : l.h.db().at(l.vp2).groups) handles += g.code == 331;
    EXPECT_EQ(handles, 2);

    l.h.run("vplayer t A-DOOR a f A-WALL,B-WALL a \n");  // A-WALL already frozen: kept once
    EXPECT_EQ(frozenIn(l.h, l.vp2), (std::vector<std::string>{"A-WALL", "B-WALL"}));
    l.h.run("vplayer t * a \n");
    EXPECT_TRUE(frozenIn(l.h, l.vp3).empty());
}

TEST(Vplayer, SelectActsOnlyOnTheSelectedViewports) {
    Layout l;
    zan::app::Script none("");
    l.h.session().attach(none);
    ads_name last, set;
    ASSERT_EQ(ads_entlast(last), RTNORM);  // the viewport numbered 3
    ASSERT_EQ(ads_ssadd(last, nullptr, set), RTNORM);
    ASSERT_EQ(ads_command(RTSTR, "_.vplayer", RTSTR, "freeze", RTSTR, "~0", RTSTR, "select", RTPICKS, set, RTSTR, "",
                          RTSTR, "", 0),
              RTNORM);
    ads_ssfree(set);
    EXPECT_FALSE(l.h.host().commands().active());
    EXPECT_TRUE(frozenIn(l.h, l.vp2).empty());
    EXPECT_EQ(frozenIn(l.h, l.vp3), (std::vector<std::string>{"Defpoints", "A-WALL", "A-DOOR", "B-WALL"}));
}

TEST(Vplayer, RefusedInModelSpace) {
    SessionHarness h(false);
    h.run("vplayer\n");
    EXPECT_NE(h.transcript().find("** Command not allowed in Model Tab **"), std::string::npos);
}

TEST(UcsAndView, RestoreChangesTheCurrentUcsAndViewAndUnknownNamesAreReported) {
    SessionHarness h(false);
    host::SystemVariables& vars = h.db().variables();
    vars.setPoint("UCSORG", {10, 20, 0});
    vars.setPoint("UCSXDIR", {0, 1, 0});
    vars.setPoint("UCSYDIR", {-1, 0, 0});
    vars.setPoint("VIEWCTR", {100, 200, 0});
    vars.setReal("VIEWSIZE", 55);
    h.run("UCS S Front\nVIEW S Plan\nUCS W\n");
    EXPECT_EQ(vars.text("UCSNAME"), "");
    EXPECT_EQ(vars.point("UCSORG")[0], 0);
    vars.setPoint("VIEWCTR", {0, 0, 0});
    vars.setReal("VIEWSIZE", 1);

    h.run("_.UCS Restore front\n_.View Restore plan yes\n");
    EXPECT_EQ(vars.text("UCSNAME"), "Front");
    EXPECT_EQ(vars.point("UCSORG")[1], 20);
    EXPECT_EQ(vars.point("UCSYDIR")[0], -1);
    EXPECT_EQ(vars.point("VIEWCTR")[1], 200);
    EXPECT_EQ(vars.real("VIEWSIZE"), 55);
    EXPECT_FALSE(h.host().commands().active());
    EXPECT_EQ(h.transcript().find("Unknown command"), std::string::npos);

    h.run("_.UCS Restore nosuch\n_.View Restore nosuch\n");
    EXPECT_NE(h.transcript().find("Cannot find UCS \"nosuch\"."), std::string::npos);
    EXPECT_NE(h.transcript().find("Cannot find view \"nosuch\"."), std::string::npos);
    EXPECT_EQ(vars.text("UCSNAME"), "Front");
}

TEST(UcsAndView, RegenautoSwitchesRegenmode) {
    SessionHarness h(false);
    h.run("regenauto OFF\n");
    EXPECT_EQ(h.db().variables().integer("REGENMODE"), 0);
    h.run("regenauto ON\n");
    EXPECT_EQ(h.db().variables().integer("REGENMODE"), 1);
}
