// LINE, MOVE, COPY, PEDIT, INSERT, EXPLODE and OFFSET at the host's command
// line and from an application's ads_command, and the "Select objects: "
// options. The geometry these commands produce is checked against ezdxf in
// edit_commands_ezdxf.py.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "ads/adslib.h"
#include "core/host.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

// The drawing's live entities of one type, in order.
std::vector<const host::Record*> live(SessionHarness& h, const std::string& type) {
    std::vector<const host::Record*> out;
    for (host::RecordId id : h.db().entities())
        if (!h.db().at(id).erased && h.db().at(id).type == type) out.push_back(&h.db().at(id));
    return out;
}

void makeLine(const char* layer, double x0, double y0, double x1, double y1) {
    ads_point a = {x0, y0, 0}, b = {x1, y1, 0};
    resbuf* rb = ads_buildlist(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0);
    ASSERT_EQ(ads_entmake(rb), RTNORM);
    ads_relrb(rb);
}

double real(const host::Record* r, int code) { return r->real(code).value_or(NAN); }

const std::string kBlocks = std::string(ZAN_SAMPLES_DIR) + "/demo/blocks/";

}  // namespace

TEST(DrawEditCommands, LineDrawsSegmentsWithCloseAndUndoAndRefusesBadPoints) {
    SessionHarness h(false);
    h.run("LINE 0,0 10,0 abc 10,10 20,20 U @-10,0 C\n");
    EXPECT_NE(h.transcript().find("Invalid option keyword.\nSpecify next point or [Undo]: "), std::string::npos);
    auto lines = live(h, "LINE");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(real(lines[1], 11), 10);  // the segment to 20,20 was undone
    EXPECT_EQ(real(lines[1], 21), 10);
    EXPECT_EQ(real(lines[2], 10), 10);  // @-10,0 from 10,10
    EXPECT_EQ(real(lines[2], 11), 0);
    EXPECT_EQ(real(lines[2], 21), 10);
    EXPECT_EQ(real(lines[3], 11), 0);  // Close: back to 0,0
    EXPECT_EQ(real(lines[3], 21), 0);
    EXPECT_EQ(lines[0]->text(8), "0");
    // Typed points are exact.
    h.run("LINE 0.1,0.7 1e-3,123456.789 \n");
    EXPECT_EQ(real(live(h, "LINE").back(), 10), 0.1);
    EXPECT_EQ(real(live(h, "LINE").back(), 21), 123456.789);
}

TEST(DrawEditCommands, SelectObjectsOptionsAndAnswers) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    makeLine("A", 0, 0, 10, 0);
    makeLine("A", 0, 5, 10, 5);
    makeLine("B", 20, 0, 30, 0);
    h.run("ERASE 50,50 Q W -1,-1 11,6 R 0,5 U A L \n");
    EXPECT_NE(h.transcript().find("Select objects: 50,50\n0 found\n"), std::string::npos);
    EXPECT_NE(h.transcript().find("*Invalid selection*\nExpects a point or\n"), std::string::npos);
    EXPECT_NE(h.transcript().find("2 found\n"), std::string::npos);
    EXPECT_NE(h.transcript().find("Remove objects: "), std::string::npos);
    EXPECT_NE(h.transcript().find("1 found, 1 removed, 1 total"), std::string::npos);
    EXPECT_TRUE(live(h, "LINE").empty());  // Undo took the removal back; Add, then Last added the third line

    h.clearTranscript();
    makeLine("A", 0, 0, 10, 0);
    makeLine("B", 20, 0, 30, 0);
    h.run("ERASE C 5,-1 25,1 R 20,0 \n");
    ASSERT_EQ(live(h, "LINE").size(), 1u);
    EXPECT_EQ(live(h, "LINE")[0]->text(8), "B");
}

TEST(DrawEditCommands, PreviousAtMoveSelectsTheSetAnApplicationMade) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    makeLine("A-WALL", 0, 0, 10, 0);
    makeLine("B-WALL", 0, 5, 10, 5);
    makeLine("A-WALL", 0, 9, 10, 9);
    ads_name set;
    resbuf* filter = ads_buildlist(8, "A-*", 0);
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, filter, set), RTNORM);
    ads_relrb(filter);
    ads_ssfree(set);
    h.run("MOVE P\n\n0,0\n2.5,-1\n");
    EXPECT_NE(h.transcript().find("Select objects: P\n2 found\n"), std::string::npos);
    auto lines = live(h, "LINE");
    EXPECT_EQ(real(lines[0], 10), 2.5);
    EXPECT_EQ(real(lines[0], 20), -1);
    EXPECT_EQ(real(lines[1], 10), 0);  // B-WALL stays
    EXPECT_EQ(real(lines[2], 21), 8);

    // The set MOVE selected is the previous one for the next command, and
    // an application's "P" selection sees it.
    h.run("COPY P\n\n0,0\n0,100\n\n");
    EXPECT_EQ(live(h, "LINE").size(), 5u);
    ASSERT_EQ(ads_ssget("P", nullptr, nullptr, nullptr, set), RTNORM);
    long n = 0;
    ads_sslength(set, &n);
    EXPECT_EQ(n, 2);
    ads_ssfree(set);
}

TEST(DrawEditCommands, PeditTurnsALineIntoAPolylineOfTheGivenWidth) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    h.run("LINE 1,2 11,2 \nPEDIT 5,2 \nW -1 0.35 C X\n");
    EXPECT_NE(h.transcript().find("Object selected is not a polyline\nDo you want to turn it into one? <Y> "),
              std::string::npos);
    EXPECT_NE(h.transcript().find("Value must be positive."), std::string::npos);
    EXPECT_TRUE(live(h, "LINE").empty());
    auto polylines = live(h, "LWPOLYLINE");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(real(polylines[0], 43), 0.35);
    EXPECT_EQ(polylines[0]->integer(70), 1);
    EXPECT_EQ(polylines[0]->integer(90), 2);

    // As an application sends it: the entity name, "y", width, "x". The
    // polyline is the drawing's last entity; an arc becomes one bulged segment.
    h.run("ERASE ALL \n");
    ads_point c = {0, 0, 0};
    resbuf* arc = ads_buildlist(RTDXF0, "ARC", 8, "WALL", 10, c, 40, 5.0, 50, 0.0, 51, 90.0, 0);
    ASSERT_EQ(ads_entmake(arc), RTNORM);
    ads_relrb(arc);
    ads_name last;
    ads_entlast(last);
    ASSERT_EQ(ads_command(RTSTR, "pedit", RTENAME, last, RTSTR, "y", RTSTR, "w", RTREAL, 3.25, RTSTR, "x", 0), RTNORM);
    EXPECT_FALSE(h.host().commands().active());
    ads_entlast(last);
    resbuf* data = ads_entget(last);
    ASSERT_NE(data, nullptr);
    std::vector<double> bulges;
    std::string type, layer;
    double width = 0;
    for (resbuf* rb = data; rb; rb = rb->rbnext) {
        if (rb->restype == 0) type = rb->resval.rstring;
        if (rb->restype == 8) layer = rb->resval.rstring;
        if (rb->restype == 42) bulges.push_back(rb->resval.rreal);
        if (rb->restype == 43) width = rb->resval.rreal;
    }
    ads_relrb(data);
    EXPECT_EQ(type, "LWPOLYLINE");
    EXPECT_EQ(layer, "WALL");
    EXPECT_EQ(width, 3.25);
    ASSERT_EQ(bulges.size(), 1u);
    EXPECT_NEAR(bulges[0], std::tan(M_PI / 8), 1e-12);
}

TEST(DrawEditCommands, InsertFromAnApplicationWithPresetsAndPauses) {
    SessionHarness h(false);
    // Options before the insertion point preset rotation and scales; the
    // pause waits for the user's point.
    zan::app::Script answers("7,8\n");
    h.session().attach(answers);
    std::string path = kBlocks + "door.dwg";
    ASSERT_EQ(ads_command(RTSTR, "Insert", RTSTR, path.c_str(), RTSTR, "r", RTREAL, 30.0, RTSTR, "x", RTREAL, 2.0,
                          RTSTR, "y", RTREAL, 3.0, RTSTR, "z", RTREAL, 4.0, RTSTR, "\\", 0),
              RTNORM);
    EXPECT_FALSE(h.host().commands().active());
    ASSERT_NE(h.db().block("door"), nullptr);
    auto refs = live(h, "INSERT");
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0]->text(2), "door");
    EXPECT_EQ(real(refs[0], 10), 7);
    EXPECT_EQ(real(refs[0], 20), 8);
    EXPECT_EQ(real(refs[0], 41), 2);
    EXPECT_EQ(real(refs[0], 42), 3);
    EXPECT_EQ(real(refs[0], 43), 4);
    EXPECT_EQ(real(refs[0], 50), 30);

    // Four pauses: insertion point, X scale, Y scale (Enter: as X), rotation.
    zan::app::Script more("1,2\n2.5\n\n90\n");
    h.session().attach(more);
    ASSERT_EQ(ads_command(RTSTR, "Insert", RTSTR, "door", RTSTR, "\\", RTSTR, "\\", RTSTR, "\\", RTSTR, "\\", 0), RTNORM);
    refs = live(h, "INSERT");
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(real(refs[1], 41), 2.5);
    EXPECT_EQ(real(refs[1], 42), 2.5);
    EXPECT_EQ(real(refs[1], 50), 90);

    // Loading a definition only: "insert" with the file, then cancel.
    std::string table = kBlocks + "table.dwg";
    ASSERT_EQ(ads_command(RTSTR, "insert", RTSTR, table.c_str(), 0), RTNORM);
    ASSERT_EQ(ads_command(0), RTNORM);
    EXPECT_NE(h.db().block("table"), nullptr);
    EXPECT_EQ(live(h, "INSERT").size(), 2u);
    EXPECT_NE(h.db().findEntry("LAYER", "FURN"), host::kNoRecord);  // the file's layers came along
}

TEST(DrawEditCommands, InsertAsksForAttributeValues) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    ads_point origin = {0, 0, 0}, at = {1, 0.5, 0};
    resbuf* block = ads_buildlist(RTDXF0, "BLOCK", 2, "TAGGED", 70, 2, 10, origin, 0);
    resbuf* def = ads_buildlist(RTDXF0, "ATTDEF", 8, "0", 10, at, 40, 0.25, 1, "none", 3, "Room number", 2, "ROOM",
                                70, 0, 0);
    resbuf* end = ads_buildlist(RTDXF0, "ENDBLK", 0);
    ASSERT_EQ(ads_entmake(block), RTNORM);
    ASSERT_EQ(ads_entmake(def), RTNORM);
    ASSERT_EQ(ads_entmake(end), RTKWORD);
    for (resbuf* rb : {block, def, end}) ads_relrb(rb);
    h.run("INSERT TAGGED S 2 R 90 10,10\nB-104 East\n");
    EXPECT_NE(h.transcript().find("Enter attribute values\nRoom number <none>: "), std::string::npos);
    auto refs = live(h, "INSERT");
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0]->integer(66), 1);
    auto attribs = live(h, "ATTRIB");
    ASSERT_EQ(attribs.size(), 1u);
    EXPECT_EQ(attribs[0]->text(1), "B-104 East");
    EXPECT_EQ(attribs[0]->text(2), "ROOM");
    // (1, 0.5) scaled by 2 and turned by 90 degrees about the insertion point.
    EXPECT_NEAR(real(attribs[0], 10), 9, 1e-12);
    EXPECT_NEAR(real(attribs[0], 20), 12, 1e-12);
    EXPECT_NEAR(real(attribs[0], 40), 0.5, 1e-12);
    EXPECT_EQ(live(h, "SEQEND").size(), 1u);
    // The last entity is the reference, not its SEQEND.
    ads_name last;
    ASSERT_EQ(ads_entlast(last), RTNORM);
    resbuf* data = ads_entget(last);
    ASSERT_NE(data, nullptr);
    std::string type;
    for (resbuf* rb = data; rb; rb = rb->rbnext)
        if (rb->restype == 0) type = rb->resval.rstring;
    EXPECT_EQ(type, "INSERT");
    ads_relrb(data);
    // Moving the reference takes its attribute along.
    h.run("MOVE L\n\n0,0\n1,1\n");
    EXPECT_NEAR(real(live(h, "ATTRIB")[0], 10), 10, 1e-12);
}

TEST(DrawEditCommands, BadInputGetsTheHostsAnswerAndThePromptAgain) {
    SessionHarness h(false);
    std::string dir = zan::test::makeTempDirectory("badinput");
    std::ofstream(dir + "/notes.dwg") << "these are not drawing groups\n";
    std::ofstream(dir + "/binary.dwg") << "AC1032" << std::string(64, '\0');
    h.run("INSERT " + dir + "/missing.dwg " + dir + "/notes.dwg " + dir + "/binary.dwg \n");
    const std::string& t = h.transcript();
    EXPECT_NE(t.find("\"" + dir + "/missing.dwg\": Can't find file in search path:"), std::string::npos);
    EXPECT_NE(t.find("\"" + dir + "/notes.dwg\" is not a valid drawing file"), std::string::npos);
    EXPECT_NE(t.find("\"" + dir + "/binary.dwg\" is a binary DWG file"), std::string::npos);
    EXPECT_EQ(h.count("Enter block name or [?]: "), 4u);
    EXPECT_TRUE(h.db().blocks().size() == 2u);  // model and paper space only

    h.clearTranscript();
    h.run("INSERT " + kBlocks + "door.dwg Q 0 X 0 2 here 1,1 0 2 0\n");
    EXPECT_NE(h.transcript().find("Point or option keyword required."), std::string::npos);
    EXPECT_NE(h.transcript().find("Value must be nonzero."), std::string::npos);
    ASSERT_EQ(live(h, "INSERT").size(), 1u);
    EXPECT_EQ(real(live(h, "INSERT")[0], 41), 2);

    h.clearTranscript();
    h.run("ERASE ALL \n");
    zan::app::Script none("");
    h.session().attach(none);
    ads_point at = {1, 1, 0};
    resbuf* point = ads_buildlist(RTDXF0, "POINT", 10, at, 0);
    ASSERT_EQ(ads_entmake(point), RTNORM);
    ads_relrb(point);
    h.run("OFFSET 1 60,60 Z 1,1 \n");
    EXPECT_NE(h.transcript().find("0 found\n"), std::string::npos);
    EXPECT_NE(h.transcript().find("Invalid option keyword."), std::string::npos);
    EXPECT_NE(h.transcript().find("Cannot offset that object."), std::string::npos);
    h.clearTranscript();
    h.run("PEDIT 1,1 \nEXPLODE 1,1 \n");
    EXPECT_NE(h.transcript().find("Cannot edit that object."), std::string::npos);
    EXPECT_NE(h.transcript().find("1 was not able to be exploded."), std::string::npos);
}

TEST(DrawEditCommands, OffsetThenPeditAndMoveAsAnApplicationSendsThem) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    makeLine("A-WALL", 0, 0, 20, 0);
    // A wall's centre line: the line offset by half the wall width towards
    // the picked side, turned into a polyline of nearly the wall's width.
    ads_point pick = {5, 0, 0}, side = {5, 3, 0};
    ASSERT_EQ(ads_command(RTSTR, "offset", RTREAL, 1.75, RTPOINT, pick, RTPOINT, side, RTSTR, "", 0), RTNORM);
    EXPECT_FALSE(h.host().commands().active());
    ads_name copy;
    ASSERT_EQ(ads_entlast(copy), RTNORM);
    ASSERT_EQ(ads_command(RTSTR, "pedit", RTENAME, copy, RTSTR, "y", RTSTR, "w", RTREAL, 3.25, RTSTR, "x", 0), RTNORM);
    auto polylines = live(h, "LWPOLYLINE");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->text(8), "A-WALL");
    EXPECT_EQ(real(polylines[0], 43), 3.25);
    EXPECT_EQ(real(polylines[0], 20), 1.75);
    ASSERT_EQ(live(h, "LINE").size(), 1u);  // the wall line itself stays

    // "move" with a selection set, Enter to end the selection, base and second point.
    ads_name set;
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, nullptr, set), RTNORM);
    ads_point base = {0, 0, 0}, to = {0, 120, 0};
    ASSERT_EQ(ads_command(RTSTR, "move", RTPICKS, set, RTSTR, "", RT3DPOINT, base, RT3DPOINT, to, 0), RTNORM);
    ads_ssfree(set);
    EXPECT_EQ(real(live(h, "LINE")[0], 20), 120);
    EXPECT_EQ(real(live(h, "LWPOLYLINE")[0], 20), 121.75);
}

TEST(DrawEditCommands, OffsetThroughAPointAndUndo) {
    SessionHarness h(false);
    h.run("LINE 0,0 10,0 \nOFFSET T 5,0 5,3 5,0 5,-2 U \nOFFSET \n5,0 5,7 \n");
    EXPECT_NE(h.transcript().find("Specify through point or [Exit] <Exit>: "), std::string::npos);
    EXPECT_NE(h.transcript().find("Specify offset distance or [Through] <Through>: "), std::string::npos);
    std::vector<double> heights;
    for (const host::Record* line : live(h, "LINE")) heights.push_back(real(line, 20));
    EXPECT_EQ(heights, (std::vector<double>{0, 3, 7}));  // the copy at -2 was undone
}

TEST(DrawEditCommands, ExplodeOfAnEntityAnApplicationHandsInEndsAfterIt) {
    SessionHarness h(false);
    zan::app::Script none("");
    h.session().attach(none);
    makeLine("0", 0, 0, 4, 0);
    makeLine("0", 0, 1, 4, 1);
    ads_name line;
    ASSERT_EQ(ads_entlast(line), RTNORM);
    ASSERT_EQ(ads_command(RTSTR, "PEDIT", RTENAME, line, RTSTR, "Y", RTSTR, "X", 0), RTNORM);
    ASSERT_EQ(live(h, "LWPOLYLINE").size(), 1u) << h.transcript();
    ads_name polyline;
    ASSERT_EQ(ads_entlast(polyline), RTNORM);
    ASSERT_EQ(ads_command(RTSTR, "_.explode", RTENAME, polyline, 0), RTNORM);
    EXPECT_FALSE(h.host().commands().active()) << "EXPLODE still waits for objects";
    EXPECT_TRUE(live(h, "LWPOLYLINE").empty());
    EXPECT_EQ(live(h, "LINE").size(), 2u);
}
