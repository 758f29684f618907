// Entities, block definitions, extended data, selection filters and tables
// through the ADS functions of the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "ads/adslib.h"
#include "ads/resbuf_lists.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

struct List {
    resbuf* rb;
    ~List() { ads_relrb(rb); }
};

resbuf* item(resbuf* list, int code) {
    for (; list; list = list->rbnext)
        if (list->restype == code) return list;
    return nullptr;
}

long count(const char* mode, resbuf* filter, int* status = nullptr) {
    ads_name ss;
    int s = ads_ssget(mode, nullptr, nullptr, filter, ss);
    if (status) *status = s;
    if (s != RTNORM) return 0;
    long n = 0;
    ads_sslength(ss, &n);
    ads_ssfree(ss);
    return n;
}

}  // namespace

TEST(AdsEntities, BlockDefinitionIsOpenedByBlockAndCompletedByEndblk) {
    SessionHarness h(false);
    ads_point origin = {0, 0, 0}, end = {1, 1, 0};
    List block{ads_buildlist(RTDXF0, "BLOCK", 2, "DOOR", 70, 0, 10, origin, 0)};
    List line{ads_buildlist(RTDXF0, "LINE", 10, origin, 11, end, 0)};
    List endblk{ads_buildlist(RTDXF0, "ENDBLK", 0)};
    EXPECT_EQ(ads_entmake(endblk.rb), RTERROR);  // nothing open
    ASSERT_EQ(ads_entmake(block.rb), RTNORM);
    ASSERT_EQ(ads_entmake(line.rb), RTNORM);
    EXPECT_EQ(ads_entmake(endblk.rb), RTKWORD);

    List found{ads_tblsearch("BLOCK", "door", 0)};
    ASSERT_NE(found.rb, nullptr);
    EXPECT_STREQ(item(found.rb, 2)->resval.rstring, "DOOR");
    resbuf* first = item(found.rb, -2);
    ASSERT_NE(first, nullptr);
    List lineBack{ads_entget(first->resval.rlname)};
    EXPECT_STREQ(item(lineBack.rb, 0)->resval.rstring, "LINE");
    EXPECT_EQ(count("X", nullptr), 0);  // block entities are not drawing entities

    List insert{ads_buildlist(RTDXF0, "INSERT", 2, "DOOR", 10, origin, 0)};
    EXPECT_EQ(ads_entmake(insert.rb), RTNORM);
    List missing{ads_buildlist(RTDXF0, "INSERT", 2, "NOSUCHBLOCK", 10, origin, 0)};
    EXPECT_EQ(ads_entmake(missing.rb), RTERROR);
}

TEST(AdsEntities, EntmakeWithoutDataGivesUpTheOpenBlockAndAnEntgetListMakesACopy) {
    SessionHarness h(false);
    ads_point origin = {0, 0, 0}, end = {1, 1, 0};
    List block{ads_buildlist(RTDXF0, "BLOCK", 2, "HALF", 70, 0, 10, origin, 0)};
    List line{ads_buildlist(RTDXF0, "LINE", 10, origin, 11, end, 0)};
    List endblk{ads_buildlist(RTDXF0, "ENDBLK", 0)};
    ASSERT_EQ(ads_entmake(block.rb), RTNORM);
    ASSERT_EQ(ads_entmake(line.rb), RTNORM);
    ads_entmake(nullptr);
    EXPECT_EQ(ads_entmake(endblk.rb), RTERROR);  // nothing is open any more
    EXPECT_EQ(List{ads_tblsearch("BLOCK", "HALF", 0)}.rb, nullptr);

    // A list as ads_entget gives it (entity name first, its handle) makes a
    // new entity with a handle of its own.
    ASSERT_EQ(ads_entmake(line.rb), RTNORM);
    ads_name original;
    ASSERT_EQ(ads_entlast(original), RTNORM);
    List data{ads_entget(original)};
    ASSERT_EQ(data.rb->restype, -1);
    ASSERT_EQ(ads_entmake(data.rb), RTNORM);
    ads_name copy;
    ASSERT_EQ(ads_entlast(copy), RTNORM);
    EXPECT_FALSE(ads_name_equal(original, copy));
    EXPECT_EQ(count("X", nullptr), 2);
}

TEST(AdsEntities, ExtendedDataNeedsARegisteredApplicationAndComesBackAfterMinus3) {
    SessionHarness h(false);
    ads_point p = {2, 3, 0};
    List unregistered{ads_buildlist(RTDXF0, "POINT", 10, p, -3, 1001, "MYAPP", 1000, "v", 0)};
    EXPECT_EQ(ads_entmake(unregistered.rb), RTERROR);
    ASSERT_EQ(ads_regapp("MYAPP"), RTNORM);
    EXPECT_EQ(ads_regapp("MYAPP"), RTERROR);
    EXPECT_EQ(ads_regapp("bad name"), RTERROR);
    ASSERT_EQ(ads_entmake(unregistered.rb), RTNORM);

    ads_name last;
    ASSERT_EQ(ads_entlast(last), RTNORM);
    List plain{ads_entget(last)};
    EXPECT_EQ(item(plain.rb, -3), nullptr);
    List apps{ads_buildlist(RTSTR, "MYAPP", 0)};
    List full{ads_entgetx(last, apps.rb)};
    resbuf* marker = item(full.rb, -3);
    ASSERT_NE(marker, nullptr);
    ASSERT_EQ(marker->rbnext->restype, 1001);
    EXPECT_STREQ(marker->rbnext->resval.rstring, "MYAPP");
    EXPECT_STREQ(marker->rbnext->rbnext->resval.rstring, "v");
    resbuf* point = item(full.rb, 10);
    EXPECT_DOUBLE_EQ(point->resval.rpoint[0], 2);
    EXPECT_DOUBLE_EQ(point->resval.rpoint[1], 3);

    // Changing the extended data alone leaves what the entity draws, and
    // with it the drawing's extents, as they were; moving it does not.
    std::uint64_t shapes = h.db().shapeRevision();
    ASSERT_EQ(ads_entmod(full.rb), RTNORM);
    EXPECT_EQ(h.db().shapeRevision(), shapes);
    point->resval.rpoint[0] = 7;
    ASSERT_EQ(ads_entmod(full.rb), RTNORM);
    EXPECT_GT(h.db().shapeRevision(), shapes);

    // A longer text grown with the host's allocator is written back by entmod.
    resbuf* value = marker->rbnext->rbnext;
    value->resval.rstring = static_cast<char*>(acad_realloc(value->resval.rstring, 32));
    std::strcpy(value->resval.rstring, "a much longer value");
    ASSERT_EQ(ads_entmod(full.rb), RTNORM);
    List again{ads_entgetx(last, apps.rb)};
    EXPECT_STREQ(item(again.rb, -3)->rbnext->rbnext->resval.rstring, "a much longer value");
}

TEST(AdsEntities, SelectionFiltersAndNothingMatchingIsAnError) {
    SessionHarness h(false);
    ads_point a = {0, 0, 0}, b = {1, 0, 0};
    for (const char* layer : {"A-WALL", "A-DOOR", "B-WALL"}) {
        List line{ads_buildlist(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0)};
        ASSERT_EQ(ads_entmake(line.rb), RTNORM);
    }
    List circle{ads_buildlist(RTDXF0, "CIRCLE", 8, "B-WALL", 10, a, 40, 2.0, 0)};
    ASSERT_EQ(ads_entmake(circle.rb), RTNORM);

    List lines{ads_buildlist(RTDXF0, "LINE", 0)};
    EXPECT_EQ(count("X", lines.rb), 3);
    List wild{ads_buildlist(8, "a-*", 0)};
    EXPECT_EQ(count("X", wild.rb), 2);
    List either{ads_buildlist(-4, "<OR", 8, "A-DOOR", RTDXF0, "CIRCLE", -4, "OR>", 0)};
    EXPECT_EQ(count("X", either.rb), 2);
    List bigger{ads_buildlist(RTDXF0, "CIRCLE", -4, ">", 40, 1.5, 0)};
    EXPECT_EQ(count("X", bigger.rb), 1);
    // Plain names ignore letter case; a list of names is still a list.
    List lower{ads_buildlist(RTDXF0, "line", 8, "a-wall", 0)};
    EXPECT_EQ(count("X", lower.rb), 1);
    List names{ads_buildlist(8, "A-WALL,B-WALL", 0)};
    EXPECT_EQ(count("X", names.rb), 3);
    // Items after the one that decides are passed over, groups among them too.
    List decided{ads_buildlist(RTDXF0, "CIRCLE", -4, "<OR", 8, "A-DOOR", 8, "B-WALL", -4, "OR>", 0)};
    EXPECT_EQ(count("X", decided.rb), 1);
    List after{ads_buildlist(-4, "<OR", 8, "A-DOOR", 8, "B-*", -4, "OR>", RTDXF0, "LINE", 0)};
    EXPECT_EQ(count("X", after.rb), 2);
    int status = 0;
    List none{ads_buildlist(RTDXF0, "INSERT", 2, "TUV_INIT_OBJ", 0)};
    EXPECT_EQ(count("X", none.rb, &status), 0);
    EXPECT_EQ(status, RTERROR);
}

// The same "X" selection made again finds what the drawing holds now:
// entities changed, erased, restored or added since, a filter of the same
// items in another list, a filter on a number.
TEST(AdsEntities, SelectingEverythingAgainFollowsTheChanges) {
    SessionHarness h(false);
    ads_point a = {0, 0, 0}, b = {1, 0, 0};
    for (const char* layer : {"A", "B", "A"}) {
        List line{ads_buildlist(RTDXF0, "LINE", 8, layer, 62, 1, 10, a, 11, b, 0)};
        ASSERT_EQ(ads_entmake(line.rb), RTNORM);
    }
    List onA{ads_buildlist(RTDXF0, "LINE", 8, "A", 0)};
    EXPECT_EQ(count("X", onA.rb), 2);
    EXPECT_EQ(count("X", onA.rb), 2);

    ads_name first, last;
    ASSERT_EQ(ads_entnext(nullptr, first), RTNORM);
    ASSERT_EQ(ads_entlast(last), RTNORM);
    List data{ads_entget(first)};
    std::strcpy(item(data.rb, 8)->resval.rstring, "B");
    ASSERT_EQ(ads_entmod(data.rb), RTNORM);
    List sameItems{ads_buildlist(RTDXF0, "LINE", 8, "A", 0)};
    EXPECT_EQ(count("X", sameItems.rb), 1);
    ASSERT_EQ(ads_entdel(last), RTNORM);
    int status = 0;
    EXPECT_EQ(count("X", onA.rb, &status), 0);
    EXPECT_EQ(status, RTERROR);
    ASSERT_EQ(ads_entdel(last), RTNORM);  // restored
    List another{ads_buildlist(RTDXF0, "LINE", 8, "A", 10, a, 11, b, 0)};
    ASSERT_EQ(ads_entmake(another.rb), RTNORM);
    EXPECT_EQ(count("X", onA.rb), 2);

    List red{ads_buildlist(62, 1, 0)}, green{ads_buildlist(62, 3, 0)};
    EXPECT_EQ(count("X", red.rb), 3);
    EXPECT_EQ(count("X", green.rb), 0);
    List data2{ads_entget(first)};
    item(data2.rb, 62)->resval.rint = 3;
    ASSERT_EQ(ads_entmod(data2.rb), RTNORM);
    EXPECT_EQ(count("X", red.rb), 2);
    EXPECT_EQ(count("X", green.rb), 1);
}

TEST(AdsEntities, TablesAreSearchedCaseInsensitivelyAndWalkedInOrder) {
    SessionHarness h(false);
    ads_point a = {0, 0, 0};
    for (const char* layer : {"Walls", "Doors"}) {
        List pt{ads_buildlist(RTDXF0, "POINT", 8, layer, 10, a, 0)};
        ASSERT_EQ(ads_entmake(pt.rb), RTNORM);
    }
    List found{ads_tblsearch("LAYER", "WALLS", 0)};
    ASSERT_NE(found.rb, nullptr);
    EXPECT_STREQ(item(found.rb, 2)->resval.rstring, "Walls");  // the name keeps its case
    EXPECT_EQ(ads_tblsearch("LAYER", "nothing", 0), nullptr);

    std::vector<std::string> names;
    for (resbuf* rb = ads_tblnext("LAYER", 1); rb; rb = ads_tblnext("LAYER", 0)) {
        names.push_back(item(rb, 2)->resval.rstring);
        ads_relrb(rb);
    }
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names.front(), "0");
    auto walls = std::find(names.begin(), names.end(), "Walls");
    ASSERT_NE(walls, names.end());
    ASSERT_NE(walls + 1, names.end());
    EXPECT_EQ(*(walls + 1), "Doors");  // in the order they were made

    List positioned{ads_tblsearch("LAYER", "walls", 1)};
    List next{ads_tblnext("LAYER", 0)};
    ASSERT_NE(next.rb, nullptr);
    EXPECT_STREQ(item(next.rb, 2)->resval.rstring, "Doors");
}

TEST(AdsEntities, SystemVariablesKeepTheirTypes) {
    SessionHarness h(false);
    resbuf rb{};
    ASSERT_EQ(ads_getvar("tilemode", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 1);
    ASSERT_EQ(ads_getvar("CLAYER", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSTR);
    EXPECT_STREQ(rb.resval.rstring, "0");
    acad_free(rb.resval.rstring);
    EXPECT_EQ(ads_getvar("NOSUCHVAR", &rb), RTERROR);

    resbuf text{};
    text.restype = RTSTR;
    text.resval.rstring = const_cast<char*>("MISSING");
    EXPECT_EQ(ads_setvar("CLAYER", &text), RTERROR);
    resbuf wrong{};
    wrong.restype = RTREAL;
    wrong.resval.rreal = 1;
    EXPECT_EQ(ads_setvar("CMDECHO", &wrong), RTERROR);
    resbuf zero{};
    zero.restype = RTSHORT;
    zero.resval.rint = 0;
    EXPECT_EQ(ads_setvar("CMDECHO", &zero), RTNORM);
    EXPECT_EQ(h.db().variables().integer("CMDECHO"), 0);
}

TEST(AdsEntities, InteractiveSelectionPicksWindowsAllLastAndPreviousWithAFilter) {
    SessionHarness h(false);
    auto line = [](const char* layer, double y) {
        ads_point a = {0, y, 0}, b = {10, y, 0};
        List l{ads_buildlist(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0)};
        return ads_entmake(l.rb);
    };
    ASSERT_EQ(line("A-WALL", 0), RTNORM);
    ASSERT_EQ(line("B-WALL", 10), RTNORM);
    ASSERT_EQ(line("A-DOOR", 20), RTNORM);

    // A pick on the first line, then a pick on nothing, then Enter.
    zan::app::Script picks("5,0.1\n50,50\n\n");
    h.session().attach(picks);
    ads_name ss;
    ASSERT_EQ(ads_ssget(nullptr, nullptr, nullptr, nullptr, ss), RTNORM);
    long n = 0;
    ads_sslength(ss, &n);
    EXPECT_EQ(n, 1);
    ads_ssfree(ss);
    EXPECT_NE(h.transcript().find("Select objects: "), std::string::npos);
    EXPECT_NE(h.transcript().find("0 found"), std::string::npos);

    // ALL with a filter keeps the A layers only; Enter at once selects nothing.
    zan::app::Script all("ALL\n\n\n");
    h.session().attach(all);
    List filter{ads_buildlist(8, "A-*", 0)};
    ASSERT_EQ(ads_ssget(nullptr, nullptr, nullptr, filter.rb, ss), RTNORM);
    ads_sslength(ss, &n);
    EXPECT_EQ(n, 2);
    ads_ssfree(ss);
    EXPECT_EQ(ads_ssget(nullptr, nullptr, nullptr, nullptr, ss), RTERROR);

    // Previous is the last selection made; Last is the newest entity.
    zan::app::Script again("P\nL\n\n");
    h.session().attach(again);
    ASSERT_EQ(ads_ssget(nullptr, nullptr, nullptr, nullptr, ss), RTNORM);
    ads_sslength(ss, &n);
    EXPECT_EQ(n, 2);  // the last entity was already among the previous two
    ads_ssfree(ss);

    // A point given by the caller picks without asking.
    ads_point at = {5, 10, 0};
    ASSERT_EQ(ads_ssget(nullptr, at, nullptr, nullptr, ss), RTNORM);
    ads_name picked;
    ads_ssname(ss, 0, picked);
    List picked_list{ads_entget(picked)};
    EXPECT_STREQ(item(picked_list.rb, 8)->resval.rstring, "B-WALL");
    ads_ssfree(ss);
    EXPECT_EQ(ads_ssfree(ss), RTERROR);  // freed once only
}

TEST(AdsEntities, WalkingDeletingAndFindingByHandle) {
    SessionHarness h(false);
    ads_point a = {0, 0, 0};
    std::vector<std::string> handles;
    for (int i = 0; i < 3; ++i) {
        List pt{ads_buildlist(RTDXF0, "POINT", 10, a, 0)};
        ASSERT_EQ(ads_entmake(pt.rb), RTNORM);
        ads_name last;
        ads_entlast(last);
        List got{ads_entget(last)};
        handles.push_back(item(got.rb, 5)->resval.rstring);
    }
    EXPECT_NE(handles[0], handles[1]);

    ads_name first, second, third, none;
    ASSERT_EQ(ads_entnext(nullptr, first), RTNORM);
    ASSERT_EQ(ads_entnext(first, second), RTNORM);
    ASSERT_EQ(ads_entnext(second, third), RTNORM);
    EXPECT_EQ(ads_entnext(third, none), RTERROR);

    // Deleting hides an entity from walks, selections and ads_entget; deleting
    // again brings it back.
    ASSERT_EQ(ads_entdel(second), RTNORM);
    ads_name after;
    ASSERT_EQ(ads_entnext(first, after), RTNORM);
    EXPECT_TRUE(ads_name_equal(after, third));
    EXPECT_EQ(ads_entget(second), nullptr);
    EXPECT_EQ(count("X", nullptr), 2);
    ads_name byHandle;
    EXPECT_EQ(ads_handent(handles[1].c_str(), byHandle), RTERROR);
    ASSERT_EQ(ads_entdel(second), RTNORM);
    ASSERT_EQ(ads_handent(handles[1].c_str(), byHandle), RTNORM);
    EXPECT_TRUE(ads_name_equal(byHandle, second));
    EXPECT_EQ(count("X", nullptr), 3);

    // Names of another drawing are refused.
    h.session().newDrawing();
    EXPECT_EQ(ads_entget(first), nullptr);
    EXPECT_EQ(ads_entdel(first), RTERROR);
}

TEST(AdsEntities, EntmodChangesGroupsAndARenamedTableEntryIsFoundUnderItsNewName) {
    SessionHarness h(false);
    ads_point a = {0, 0, 0}, b = {5, 5, 0};
    List line{ads_buildlist(RTDXF0, "LINE", 8, "OLD", 10, a, 11, a, 0)};
    ASSERT_EQ(ads_entmake(line.rb), RTNORM);
    ads_name e;
    ads_entlast(e);
    // A partial list changes only the groups it names.
    List change{ads_buildlist(-1, e, 11, b, 8, "NEW", 0)};
    ASSERT_EQ(ads_entmod(change.rb), RTNORM);
    List got{ads_entget(e)};
    EXPECT_STREQ(item(got.rb, 8)->resval.rstring, "NEW");
    EXPECT_DOUBLE_EQ(item(got.rb, 11)->resval.rpoint[0], 5);
    EXPECT_DOUBLE_EQ(item(got.rb, 10)->resval.rpoint[0], 0);
    EXPECT_NE(h.db().findEntry("LAYER", "NEW"), host::kNoRecord);  // made on the way, like the host does

    // The whole list as ads_entget gave it, with a table entry's name changed.
    List layer{ads_tblsearch("LAYER", "OLD", 0)};
    ASSERT_NE(layer.rb, nullptr);
    ads_name layerName;
    host::makeName(h.db(), h.db().findEntry("LAYER", "OLD"), layerName);
    List full{ads_entget(layerName)};
    resbuf* name = item(full.rb, 2);
    acad_free(name->resval.rstring);
    name->resval.rstring = acad__strdup("RENAMED");
    ASSERT_EQ(ads_entmod(full.rb), RTNORM);
    EXPECT_EQ(h.db().findEntry("LAYER", "OLD"), host::kNoRecord);
    EXPECT_NE(h.db().findEntry("LAYER", "renamed"), host::kNoRecord);

    List stale{ads_buildlist(-1, e, 0)};
    ads_entdel(e);
    EXPECT_EQ(ads_entmod(stale.rb), RTERROR);  // a deleted entity cannot be changed
}
