// The drawing's extents as the host keeps them after each command: records
// only added are measured alone, anything else measures the drawing again,
// and either way EXTMIN/EXTMAX end where a full measure puts them.
#include <gtest/gtest.h>

#include "core/host.h"
#include "dxf/dxf.h"
#include "geometry/extents.h"

namespace {

using host::Database;
using host::Record;
using host::RecordId;

using host::makeRecord;

Record line(double x0, double y0, double x1, double y1, bool paper = false) {
    using host::formatReal;
    Record r = makeRecord("LINE", {{8, "0"}, {10, formatReal(x0)}, {20, formatReal(y0)}, {30, "0"},
                             {11, formatReal(x1)}, {21, formatReal(y1)}, {31, "0"}});
    if (paper) r.groups.insert(r.groups.begin(), host::Group(67, "1"));
    return r;
}

Record insert(const char* block, double x, double y) {
    return makeRecord("INSERT", {{8, "0"}, {2, block}, {10, host::formatReal(x)}, {20, host::formatReal(y)}, {30, "0"}});
}

host::BlockDefinition& defineBlock(Database& db, const char* name) {
    RecordId begin = db.add(makeRecord("BLOCK", {{8, "0"}, {2, name}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}}));
    RecordId end = db.add(makeRecord("ENDBLK", {{8, "0"}}));
    return db.addBlock(name, begin, end);
}

struct Session {
    host::Host h{[](std::string_view) {}};
    Database& db() { return h.db(); }
    std::array<double, 3> var(const char* name) { return db().variables().point(name); }
    void setEmpty() {
        for (const char* name : {"EXTMIN", "PEXTMIN"}) db().variables().setPoint(name, {1e20, 1e20, 1e20});
        for (const char* name : {"EXTMAX", "PEXTMAX"}) db().variables().setPoint(name, {-1e20, -1e20, -1e20});
    }
    // The extents after the command, against a measure of every entity.
    void expectMeasured() {
        h.refreshExtents();
        for (bool paper : {false, true}) {
            host::Box box = host::drawingExtents(db(), paper);
            auto low = var(paper ? "PEXTMIN" : "EXTMIN"), high = var(paper ? "PEXTMAX" : "EXTMAX");
            if (!box.valid) {
                EXPECT_EQ(low[0], 1e20);
                EXPECT_EQ(high[0], -1e20);
                continue;
            }
            EXPECT_EQ(low[0], box.minX) << (paper ? "paper" : "model");
            EXPECT_EQ(low[1], box.minY) << (paper ? "paper" : "model");
            EXPECT_EQ(high[0], box.maxX) << (paper ? "paper" : "model");
            EXPECT_EQ(high[1], box.maxY) << (paper ? "paper" : "model");
        }
    }
};

TEST(DrawingExtents, FollowAddsMovesAndErasesExactly) {
    Session s;
    Database& db = s.db();
    RecordId a = db.addEntity(line(0, 0, 10, 5), false);
    db.addEntity(line(-3, -4, 1, 1, true), true);
    s.expectMeasured();
    db.addEntity(line(2, 2, 30, 3), false);
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMAX")[0], 30);

    // A new block and a reference to it; a polyline with its vertices.
    host::BlockDefinition& door = defineBlock(db, "DOOR");
    db.addBlockEntity(door, line(0, 0, 1, 50));
    db.addEntity(insert("DOOR", 5, 5), false);
    RecordId poly = db.addEntity(makeRecord("POLYLINE", {{8, "0"}, {66, "1"}, {70, "0"}}), false);
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "0"}, {20, "-9"}}), false);
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "1"}, {20, "0"}}), false);
    db.addEntity(makeRecord("SEQEND", {{8, "0"}}), false);
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMAX")[1], 55);
    EXPECT_EQ(s.var("EXTMIN")[1], -9);

    // Moving and erasing shrink the extents again.
    db.modify(a, [](Record& r) { r.setReal(20, 1); });
    s.expectMeasured();
    db.erase(poly);
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMIN")[1], 1);
    db.erase(a);
    s.expectMeasured();
}

TEST(DrawingExtents, AdditionsThatChangeOlderEntitiesMeasureAgain) {
    Session s;
    Database& db = s.db();
    // A reference drawn before its block exists draws nothing; the block
    // made afterwards (records only added) moves the extents.
    db.addEntity(line(0, 0, 1, 1), false);
    db.addEntity(insert("LATE", 100, 0), false);
    s.expectMeasured();
    defineBlock(db, "LATE");  // empty: still nothing to draw
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMAX")[0], 1);
    host::BlockDefinition& late = defineBlock(db, "LATE");
    db.addBlockEntity(late, line(0, 0, 5, 5));
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMAX")[0], 105);
    // An entity added to an older block reaches its older references too.
    db.addBlockEntity(*db.block("LATE"), line(0, 0, 20, -7));
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMAX")[0], 120);

    // Vertices appended after an older polyline that has no end yet.
    db.addEntity(makeRecord("POLYLINE", {{8, "0"}, {66, "1"}, {70, "0"}}), false);
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "0"}, {20, "0"}}), false);
    s.expectMeasured();
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "0"}, {20, "-40"}}), false);
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMIN")[1], -40);
}

TEST(DrawingExtents, ExtentsAFileGaveAreKeptUntilTheyCannotBeWidened) {
    Session s;
    Database& db = s.db();
    db.addEntity(line(0, 0, 10, 10), false);
    s.expectMeasured();
    // Extents wider than the entities, as a file may give them, are kept and
    // widened by an addition, not measured again.
    db.variables().setPoint("EXTMIN", {-50, -50, 0});
    s.h.refreshExtents();
    db.addEntity(line(1, 1, 60, 2), false);
    s.h.refreshExtents();
    EXPECT_EQ(s.var("EXTMIN")[0], -50);
    EXPECT_EQ(s.var("EXTMAX")[0], 60);

    // Extents that say "empty" for a space that is not: an addition that
    // draws nothing leaves them; one that draws cannot widen them, so the
    // drawing is measured (made by an application or not).
    host::BlockDefinition& empty = defineBlock(db, "EMPTY");
    (void)empty;
    s.setEmpty();
    s.h.refreshExtents();
    db.addEntity(insert("EMPTY", 0, 0), false);
    s.h.refreshExtents();
    EXPECT_EQ(s.var("EXTMIN")[0], 1e20);
    db.addEntity(line(-1, -1, 0, 0), false);
    host::growDrawingExtents(db, db.entities().back());
    EXPECT_EQ(s.var("EXTMIN")[0], 1e20);  // not the new line's box alone
    s.expectMeasured();
    EXPECT_EQ(s.var("EXTMAX")[0], 60);
}

}  // namespace
