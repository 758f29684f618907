// Changes to records go through the database, which counts them.
#include <gtest/gtest.h>

#include "db/database.h"

namespace {

host::Record point(double x) {
    host::Record r;
    r.type = "POINT";
    r.groups = {{8, "0"}, {10, host::formatReal(x)}, {20, "0.0"}, {30, "0.0"}};
    return r;
}

TEST(DatabaseRevision, EveryAddChangeAndEraseAdvancesItAndStampsTheRecord) {
    host::Database db;
    std::uint64_t start = db.revision();
    host::RecordId a = db.add(point(1));
    host::RecordId b = db.add(point(2));
    EXPECT_EQ(db.revision(), start + 2);
    EXPECT_EQ(db.at(b).revision, db.revision());

    db.modify(a, [](host::Record& r) { r.setReal(10, 5.0); });
    EXPECT_EQ(db.at(a).revision, db.revision());
    EXPECT_GT(db.at(a).revision, db.at(b).revision);
    EXPECT_EQ(db.at(a).real(10).value_or(0), 5.0);

    std::uint64_t beforeErase = db.revision();
    db.erase(b);
    EXPECT_TRUE(db.at(b).erased);
    EXPECT_EQ(db.at(b).revision, beforeErase + 1);
    db.erase(b, false);
    EXPECT_FALSE(db.at(b).erased);
}

// What entities' shapes depend on changes with entities and blocks, not
// with layers: switching layers must not make the host measure every shape
// again, and moving an entity must.
TEST(DatabaseRevision, ShapeRevisionIgnoresSymbolTableEntries) {
    host::Database db;
    host::Record layer;
    layer.type = "LAYER";
    layer.groups = {{2, "A-WALL"}, {70, "0"}, {62, "7"}};
    host::RecordId wall = db.addEntry("LAYER", layer);
    std::uint64_t shapes = db.shapeRevision();
    // Additions are told by the record count, not by the shape revision.
    host::RecordId a = db.add(point(1));
    EXPECT_EQ(db.shapeRevision(), shapes);
    EXPECT_GT(db.revision(), shapes);

    db.modify(wall, [](host::Record& r) { r.setInt(62, -7); });
    db.erase(wall);
    EXPECT_GT(db.revision(), shapes);
    EXPECT_EQ(db.shapeRevision(), shapes);

    db.modify(a, [](host::Record& r) { r.setReal(10, 3.0); });
    EXPECT_EQ(db.shapeRevision(), db.revision());
    shapes = db.shapeRevision();
    db.erase(a);
    EXPECT_GT(db.shapeRevision(), shapes);
}

// The records changed since a revision, every kind of change counted,
// additions not; after very many changes the database says it no longer
// knows them all rather than naming only some.
TEST(DatabaseRevision, ChangedSinceNamesEveryChangedRecordOrAdmitsItDoesNotKnow) {
    host::Database db;
    host::RecordId a = db.add(point(1)), b = db.add(point(2)), c = db.add(point(3));
    std::uint64_t mark = db.revision();
    std::vector<host::RecordId> changed;
    ASSERT_TRUE(db.changedSince(mark, changed));
    EXPECT_TRUE(changed.empty());
    db.modify(a, [](host::Record& r) { r.setReal(10, 5.0); });
    db.modifyKeepingShape(b, [](host::Record& r) { r.set(999, "note"); });
    db.erase(c);
    db.add(point(4));
    ASSERT_TRUE(db.changedSince(mark, changed));
    EXPECT_EQ(changed, (std::vector<host::RecordId>{a, b, c}));
    std::uint64_t later = db.revision();
    db.replace(a, point(9));
    ASSERT_TRUE(db.changedSince(later, changed));
    EXPECT_EQ(changed, (std::vector<host::RecordId>{a}));

    for (int i = 0; i < 100000; ++i) db.modify(b, [](host::Record& r) { r.setReal(20, 1.0); });
    EXPECT_FALSE(db.changedSince(mark, changed));
    later = db.revision();
    db.modify(c, [](host::Record& r) { r.setReal(20, 1.0); });
    ASSERT_TRUE(db.changedSince(later, changed));
    EXPECT_EQ(changed, (std::vector<host::RecordId>{c}));
}

TEST(DatabaseRevision, ReplaceKeepsTheHandleAndItsIndex) {
    host::Database db;
    host::RecordId a = db.add(point(1));
    std::uint64_t handle = db.at(a).handle;
    host::Record other = point(9);
    other.handle = 0x999;
    db.replace(a, other);
    EXPECT_EQ(db.at(a).handle, handle);
    EXPECT_EQ(db.findByHandle(handle), a);
    EXPECT_EQ(db.findByHandle(0x999), host::kNoRecord);
    EXPECT_EQ(db.at(a).real(10).value_or(0), 9.0);
}

TEST(DatabaseRevision, NewHandleIsIndexedAndWrittenIntoTheRecord) {
    host::Database db;
    host::Record r = point(1);
    host::RecordId a = db.addAsIs(r);
    EXPECT_EQ(db.at(a).handle, 0u);
    db.assignNewHandle(a);
    ASSERT_NE(db.at(a).handle, 0u);
    EXPECT_EQ(db.findByHandle(db.at(a).handle), a);
    EXPECT_EQ(db.at(a).text(5), host::formatHandle(db.at(a).handle));
}

}  // namespace
