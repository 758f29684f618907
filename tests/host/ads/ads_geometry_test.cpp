// The ADS functions built on the host's geometry, on the demo drawing and on
// drawings made with ezdxf: picks, nested picks, picks through a viewport,
// selection by point and window, dragging, transforming sets, highlighting,
// and complex entities made and walked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "ads/adslib.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

using Expected = std::map<std::string, std::vector<std::string>>;

std::string python(const std::string& arguments) {
    return std::string(ZAN_DEBIAN_PYTHON) + " " + ZAN_GEOMETRY_DRAWINGS + " " + arguments;
}

class AdsGeometry : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = zan::test::makeTempDirectory("ads-geometry");
        ASSERT_EQ(std::system(python("make " + dir_ + " " + ZAN_SAMPLES_DIR).c_str()), 0);
        std::ifstream in(dir_ + "/expected.txt");
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string key, value;
            words >> key;
            while (words >> value) expected_[key].push_back(value);
        }
    }
    static double number(const std::string& key, std::size_t i) { return std::stod(expected_.at(key).at(i)); }
    static std::string text(const std::string& key, std::size_t i = 0) { return expected_.at(key).at(i); }

    void open(const std::string& path) { ASSERT_TRUE(h.session().openDrawing(path)) << h.transcript(); }
    void type(const std::string& lines) {
        script_ = std::make_unique<zan::app::Script>(lines);
        h.session().attach(*script_);
    }
    static bool sameEntity(const ads_name a, const std::string& handle) {
        ads_name b;
        return ads_handent(handle.c_str(), b) == RTNORM && a[0] == b[0] && a[1] == b[1];
    }
    std::string handleOf(const ads_name e) {
        resbuf* list = ads_entget(e);
        std::string handle;
        for (resbuf* rb = list; rb; rb = rb->rbnext)
            if (rb->restype == 5) handle = rb->resval.rstring;
        ads_relrb(list);
        return handle;
    }

    static std::string dir_;
    static Expected expected_;
    SessionHarness h{false};
    std::unique_ptr<zan::app::Script> script_;
};

std::string AdsGeometry::dir_;
Expected AdsGeometry::expected_;

std::string at(double x, double y) {
    std::ostringstream s;
    s.precision(17);
    s << x << "," << y << "\n";
    return s.str();
}

TEST_F(AdsGeometry, PickOnAWallLineOfTheDemoSelectsIt) {
    open(std::string(ZAN_SAMPLES_DIR) + "/demo/demo.dxf");
    type(at(number("demo_wall", 1) + 0.05, number("demo_wall", 2)));
    ads_name e;
    ads_point p;
    ASSERT_EQ(ads_entsel("Select object: ", e, p), RTNORM);
    EXPECT_TRUE(sameEntity(e, text("demo_wall")));
    EXPECT_DOUBLE_EQ(p[1], number("demo_wall", 2));
}

TEST_F(AdsGeometry, NestedPickGivesTheInnermostEntityMatrixAndContainers) {
    open(dir_ + "/nested.dxf");
    double x = number("nested_point", 0), y = number("nested_point", 1);
    type(at(x, y) + at(x, y) + at(x, y));
    ads_name e;
    ads_point p;
    ads_matrix m;
    resbuf* containers = nullptr;
    ASSERT_EQ(ads_nentselp("Select: ", e, p, 0, m, &containers), RTNORM);
    EXPECT_TRUE(sameEntity(e, text("nested_leaf")));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(m[i][j], number("nested_matrix", i * 4 + j), 1e-9) << i << "," << j;
    std::vector<std::string> chain;
    for (resbuf* rb = containers; rb; rb = rb->rbnext) {
        ASSERT_EQ(rb->restype, RTENAME);
        chain.push_back(handleOf(rb->resval.rlname));
    }
    ads_relrb(containers);
    EXPECT_EQ(chain, expected_.at("nested_containers"));  // innermost first

    // ads_nentsel gives the same matrix as four points: the columns.
    ads_point columns[4];
    ASSERT_EQ(ads_nentsel("Select: ", e, p, columns, &containers), RTNORM);
    ads_relrb(containers);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(columns[i][j], number("nested_matrix", j * 4 + i), 1e-9);

    // A plain pick there finds the outermost reference.
    ASSERT_EQ(ads_entsel("Select: ", e, p), RTNORM);
    EXPECT_TRUE(sameEntity(e, text("nested_top")));
    // With the pick point given, nothing is asked.
    ads_point given = {x, y, 0};
    ASSERT_EQ(ads_nentselp(nullptr, e, given, 1, m, nullptr), RTNORM);
    EXPECT_TRUE(sameEntity(e, text("nested_leaf")));
}

TEST_F(AdsGeometry, FrozenLayersAreNotPickedAndWindowsUseTheGeometry) {
    open(dir_ + "/nested.dxf");
    type(at(number("frozen_point", 0), number("frozen_point", 1)) + "\n");
    ads_name e, ss;
    ads_point p;
    EXPECT_EQ(ads_entsel("Select: ", e, p), RTERROR);
    resbuf errno_;
    ads_getvar("ERRNO", &errno_);
    EXPECT_EQ(errno_.resval.rint, 7);
    EXPECT_EQ(ads_entsel("Select: ", e, p), RTERROR);  // Enter
    ads_getvar("ERRNO", &errno_);
    EXPECT_EQ(errno_.resval.rint, 52);

    ads_point frozen = {number("frozen_point", 0), number("frozen_point", 1), 0};
    EXPECT_EQ(ads_ssget(nullptr, frozen, nullptr, nullptr, ss), RTERROR);
    ads_point wall = {number("wall_point", 0), number("wall_point", 1), 0};
    ASSERT_EQ(ads_ssget(nullptr, wall, nullptr, nullptr, ss), RTNORM);
    ads_ssfree(ss);
    // A window holding both lines whole selects the wall only; a crossing
    // window over the middle of the wall selects it too.
    ads_point a = {-1, -90, 0}, b = {41, -40, 0};
    ASSERT_EQ(ads_ssget("W", a, b, nullptr, ss), RTNORM);
    long n = 0;
    ads_sslength(ss, &n);
    EXPECT_EQ(n, 1);
    ads_ssname(ss, 0, e);
    EXPECT_TRUE(sameEntity(e, text("wall")));
    ads_ssfree(ss);
    ads_point c = {10, -85, 0}, d = {12, -75, 0};
    EXPECT_EQ(ads_ssget("W", c, d, nullptr, ss), RTERROR);
    ASSERT_EQ(ads_ssget("C", c, d, nullptr, ss), RTNORM);
    ads_ssfree(ss);
}

TEST_F(AdsGeometry, PickThroughTheActiveViewport) {
    open(dir_ + "/nested.dxf");
    ASSERT_EQ(h.run("TILEMODE 0\nMSPACE\n"), 0);
    resbuf cvport;
    ads_getvar("CVPORT", &cvport);
    ASSERT_GT(cvport.resval.rint, 1) << h.transcript();
    type(at(number("wall_point", 0), number("wall_point", 1)));
    ads_name e;
    ads_point p;
    ASSERT_EQ(ads_entsel("Select: ", e, p), RTNORM);
    EXPECT_TRUE(sameEntity(e, text("wall")));
    // Frozen in this viewport: not pickable through it.
    ASSERT_EQ(h.run("VPLAYER F A-WALL C\n\n"), 0);
    type(at(number("wall_point", 0), number("wall_point", 1)));
    EXPECT_EQ(ads_entsel("Select: ", e, p), RTERROR);
    // In paper space the viewport's frame is picked.
    ASSERT_EQ(h.run("PSPACE\n"), 0);
    type("100,100\n");
    ASSERT_EQ(ads_entsel("Select: ", e, p), RTNORM);
    EXPECT_TRUE(sameEntity(e, text("viewport")));
}

void moveAndCheck(SessionHarness& h, const std::string& source, const std::string& saved, ads_matrix m) {
    ASSERT_TRUE(h.session().openDrawing(source));
    ads_name ss;
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, nullptr, ss), RTNORM);
    ASSERT_EQ(ads_xformss(ss, m), RTNORM);
    ads_ssfree(ss);
    ASSERT_TRUE(h.session().saveDrawing(saved));
    std::ostringstream args;
    args.precision(17);
    args << "moved " << source << " " << saved;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) args << " " << m[i][j];
    EXPECT_EQ(std::system(python(args.str()).c_str()), 0);
}

TEST_F(AdsGeometry, XformssMovesEveryKindOfEntityExactly) {
    ads_matrix shift = {{1, 0, 0, 12.5}, {0, 1, 0, -3.25}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    moveAndCheck(h, dir_ + "/kinds.dxf", dir_ + "/kinds-shifted.dxf", shift);
    double c = 2 * std::cos(0.5), s = 2 * std::sin(0.5);
    ads_matrix turn = {{c, -s, 0, 7}, {s, c, 0, -1}, {0, 0, 2, 0}, {0, 0, 0, 1}};
    moveAndCheck(h, dir_ + "/kinds.dxf", dir_ + "/kinds-turned.dxf", turn);
    // A matrix that no entity can take changes nothing.
    ads_name ss;
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, nullptr, ss), RTNORM);
    ads_matrix squash = {{1, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    std::uint64_t before = h.db().revision();
    EXPECT_EQ(ads_xformss(ss, squash), RTERROR);  // bulges cannot be stretched
    EXPECT_EQ(h.db().revision(), before);
    ads_ssfree(ss);
}

ads_point lastSample;
ads_point dragBase = {1, 1, 0};
int samples = 0;
int translate(ads_point p, ads_matrix m) {
    ++samples;
    lastSample[0] = p[0];
    lastSample[1] = p[1];
    m[0][3] = p[0] - dragBase[0];
    m[1][3] = p[1] - dragBase[1];
    return RTNORM;
}

TEST_F(AdsGeometry, DraggenSamplesEachCursorPositionAndTheLastPlaces) {
    ads_point a = {0, 0, 0}, b = {10, 0, 0};
    resbuf* line = ads_buildlist(RTDXF0, "LINE", 10, a, 11, b, 0);
    ASSERT_EQ(ads_entmake(line), RTNORM);
    ads_relrb(line);
    ads_name e, ss;
    ads_entlast(e);
    ads_ssadd(e, nullptr, ss);
    type("10,0;20,5;@10,0\n\n^C\nPrevious\n");
    ads_point placed;
    ASSERT_EQ(ads_draggen(ss, "Select new location.\n", 0, translate, placed), RTNORM);
    EXPECT_EQ(samples, 3);
    EXPECT_DOUBLE_EQ(placed[0], 30);  // "@10,0" is relative to the point before it
    EXPECT_DOUBLE_EQ(placed[1], 5);
    EXPECT_DOUBLE_EQ(lastSample[0], 30);
    EXPECT_EQ(ads_draggen(ss, "Again: ", 0, translate, placed), RTNONE);
    EXPECT_EQ(ads_draggen(ss, "Again: ", 0, translate, placed), RTCAN);
    ads_initget(0, "Previous Invert");
    EXPECT_EQ(ads_draggen(ss, "Again: ", 0, translate, placed), RTKWORD);
    EXPECT_EQ(samples, 3);
    // The drag moves nothing; the matrix of the last sample does.
    ads_matrix m = {{1, 0, 0, placed[0] - 1}, {0, 1, 0, placed[1] - 1}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ASSERT_EQ(ads_xformss(ss, m), RTNORM);
    resbuf* moved = ads_entget(e);
    for (resbuf* rb = moved; rb; rb = rb->rbnext) {
        if (rb->restype == 11) {
            EXPECT_DOUBLE_EQ(rb->resval.rpoint[0], 39);
        }
    }
    ads_relrb(moved);
    ads_ssfree(ss);
}

TEST_F(AdsGeometry, RedrawKeepsEachEntitysHighlightAndShowsIt) {
    ads_point v0 = {0, 0, 0}, v1 = {5, 0, 0};
    resbuf* head = ads_buildlist(RTDXF0, "POLYLINE", 66, 1, 70, 0, 0);
    resbuf* vertex0 = ads_buildlist(RTDXF0, "VERTEX", 10, v0, 0);
    resbuf* vertex1 = ads_buildlist(RTDXF0, "VERTEX", 10, v1, 0);
    resbuf* end = ads_buildlist(RTDXF0, "SEQEND", 0);
    ASSERT_EQ(ads_entmake(head), RTNORM);
    ASSERT_EQ(ads_entmake(vertex0), RTNORM);
    ASSERT_EQ(ads_entmake(vertex1), RTNORM);
    ASSERT_EQ(ads_entmake(end), RTNORM);
    ads_name poly;
    ads_entlast(poly);
    std::string handle = handleOf(poly);
    h.clearTranscript();
    EXPECT_EQ(ads_redraw(poly, 3), RTNORM);
    EXPECT_EQ(ads_redraw(poly, 3), RTNORM);  // already highlighted: nothing new shown
    EXPECT_EQ(ads_redraw(poly, 4), RTNORM);
    EXPECT_EQ(ads_redraw(poly, 2), RTNORM);
    EXPECT_EQ(ads_redraw(nullptr, 0), RTNORM);
    EXPECT_EQ(ads_redraw(poly, 7), RTERROR);
    EXPECT_EQ(h.transcript(), "[highlight] POLYLINE " + handle + "\n[unhighlight] POLYLINE " + handle +
                                  "\n[undraw] POLYLINE " + handle + "\n[redraw]\n");
    ads_relrb(head);
    ads_relrb(vertex0);
    ads_relrb(vertex1);
    ads_relrb(end);
}

TEST_F(AdsGeometry, ComplexEntitiesAreMadeWholeAndWalkedThroughTheirParts) {
    ads_point v0 = {0, 0, 0}, v1 = {5, 0, 0}, v2 = {5, 5, 0};
    auto make = [](resbuf* list) {
        int status = ads_entmake(list);
        ads_relrb(list);
        return status;
    };
    // A vertex with no polyline begun is refused.
    EXPECT_EQ(make(ads_buildlist(RTDXF0, "VERTEX", 10, v0, 0)), RTERROR);
    // Nothing reaches the drawing before the SEQEND.
    ads_name before;
    int hadLast = ads_entlast(before);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "POLYLINE", 8, "A-WALL", 66, 1, 70, 1, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "VERTEX", 10, v0, 42, 0.5, 0)), RTNORM);
    ads_name last;
    EXPECT_EQ(ads_entlast(last), hadLast);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "VERTEX", 10, v1, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "VERTEX", 10, v2, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "SEQEND", 0)), RTNORM);
    ads_name poly;
    ASSERT_EQ(ads_entlast(poly), RTNORM);  // the polyline, not its SEQEND
    std::vector<std::string> walk;
    ads_name cur = {poly[0], poly[1]}, next;
    while (ads_entnext(cur, next) == RTNORM) {
        resbuf* list = ads_entget(next);
        std::string type, layer;
        for (resbuf* rb = list; rb; rb = rb->rbnext) {
            if (rb->restype == 0) type = rb->resval.rstring;
            if (rb->restype == 8) layer = rb->resval.rstring;
        }
        ads_relrb(list);
        walk.push_back(type + ":" + layer);
        cur[0] = next[0];
        cur[1] = next[1];
    }
    EXPECT_EQ(walk, (std::vector<std::string>{"VERTEX:A-WALL", "VERTEX:A-WALL", "VERTEX:A-WALL", "SEQEND:A-WALL"}));

    // A reference with attributes.
    ads_point origin = {0, 0, 0};
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "BLOCK", 2, "TAG", 70, 2, 10, origin, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "ATTDEF", 10, origin, 40, 1.0, 1, "", 2, "NUM", 3, "Number", 70, 0, 0)),
              RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "ENDBLK", 0)), RTKWORD);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "INSERT", 2, "TAG", 10, v2, 66, 1, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "ATTRIB", 10, v2, 40, 1.0, 1, "101", 2, "NUM", 70, 0, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "SEQEND", 0)), RTNORM);
    ads_name ref, attrib;
    ASSERT_EQ(ads_entlast(ref), RTNORM);
    ASSERT_EQ(ads_entnext(ref, attrib), RTNORM);
    resbuf* list = ads_entget(attrib);
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 0) {
            EXPECT_STREQ(rb->resval.rstring, "ATTRIB");
        }
    }
    ads_relrb(list);

    // A complex entity left unfinished is given up by the next entity,
    // and one with no vertices is refused.
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "POLYLINE", 66, 1, 0)), RTNORM);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "LINE", 10, v0, 11, v1, 0)), RTNORM);
    EXPECT_EQ(make(ads_buildlist(RTDXF0, "SEQEND", 0)), RTERROR);
    ASSERT_EQ(make(ads_buildlist(RTDXF0, "POLYLINE", 66, 1, 0)), RTNORM);
    EXPECT_EQ(make(ads_buildlist(RTDXF0, "SEQEND", 0)), RTERROR);

    // Deleting the polyline takes its vertices; a vertex alone cannot be deleted.
    ads_name vertex;
    ads_entnext(poly, vertex);
    EXPECT_EQ(ads_entdel(vertex), RTERROR);
    ASSERT_EQ(ads_entdel(poly), RTNORM);
    EXPECT_EQ(ads_entget(vertex), nullptr);
}

}  // namespace
