// Picks, nested picks, windows and extents on drawings built record by
// record: the aperture rule, hidden layers, references nested and arrayed,
// reference cycles, and picks through a viewport.
#include <gtest/gtest.h>

#include "db/layers.h"
#include "db/viewport_layers.h"
#include "dxf/dxf.h"
#include "geometry/extents.h"
#include "geometry/pick.h"
#include "geometry/placement.h"
#include "geometry/view.h"

namespace {

using host::Database;
using host::Matrix;
using host::Point3;
using host::Record;
using host::RecordId;

using host::makeRecord;

Record line(const char* layer, double x0, double y0, double x1, double y1) {
    using host::formatReal;
    return makeRecord("LINE", {{8, layer}, {10, formatReal(x0)}, {20, formatReal(y0)}, {30, "0"}, {11, formatReal(x1)},
                         {21, formatReal(y1)}, {31, "0"}});
}

host::BlockDefinition& defineBlock(Database& db, const char* name, double baseX = 0, double baseY = 0) {
    RecordId begin = db.add(makeRecord("BLOCK", {{8, "0"}, {2, name}, {70, "0"}, {10, host::formatReal(baseX)},
                                           {20, host::formatReal(baseY)}, {30, "0"}}));
    RecordId end = db.add(makeRecord("ENDBLK", {{8, "0"}}));
    return db.addBlock(name, begin, end);
}

struct Drawing {
    std::unique_ptr<Database> db = host::dxf::newDrawing();
    Drawing() {
        // A view 800 units high on an 800-pixel screen: one unit per pixel,
        // so the default pick box of 3 pixels reaches 1.5 units.
        db->variables().setReal("VIEWSIZE", 800);
    }
    host::PickView view() const { return host::currentPickView(*db); }
};

TEST(Pick, NearestVisibleEntityWithinTheAperture) {
    Drawing d;
    Database& db = *d.db;
    host::ensureLayer(db, "A-WALL");
    host::ensureLayer(db, "A-FROZEN");
    RecordId wall = db.addEntity(line("A-WALL", 0, 0, 100, 0), false);
    RecordId near = db.addEntity(line("A-WALL", 0, 1, 100, 1), false);
    RecordId hidden = db.addEntity(line("A-FROZEN", 0, 10, 100, 10), false);
    EXPECT_NEAR(d.view().aperture, 1.5, 1e-12);
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 0.2), wall);
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 0.8), near);
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 3), host::kNoRecord);  // 2 units off: outside
    db.variables().setInteger("PICKBOX", 6);
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 3), near);

    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 10), hidden);
    RecordId layer = host::findLayer(db, "A-FROZEN");
    db.modify(layer, [](Record& r) { r.setInt(70, host::kLayerFrozen); });
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 10), host::kNoRecord);
    db.modify(layer, [](Record& r) { r.setInt(70, 0); r.setInt(62, -7); });  // off
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 10), host::kNoRecord);
    // A filter narrows what can be picked.
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 0.2, [&](const Record& r) { return &r != &db.at(wall); }), near);
}

TEST(Pick, NestedReferencesGiveTheInnermostEntityMatrixAndContainers) {
    Drawing d;
    Database& db = *d.db;
    host::ensureLayer(db, "DOORS");
    host::BlockDefinition& inner = defineBlock(db, "INNER", 1, 0);
    RecordId leaf = db.addBlockEntity(inner, line("0", 1, 0, 3, 0));
    host::BlockDefinition& outer = defineBlock(db, "OUTER");
    RecordId middle = db.addBlockEntity(outer, makeRecord("INSERT", {{8, "0"}, {2, "INNER"}, {10, "10"}, {20, "0"},
                                                                {30, "0"}, {41, "2"}, {42, "2"}, {50, "90"}}));
    RecordId top = db.addEntity(makeRecord("INSERT", {{8, "DOORS"}, {2, "OUTER"}, {10, "100"}, {20, "100"}, {30, "0"},
                                                {50, "180"}, {70, "2"}, {71, "1"}, {44, "50"}}),
                                false);
    // The leaf in world coordinates: OUTER at (100,100) turned 180 degrees,
    // INNER at (10,0) in OUTER, doubled and turned 90 degrees, base (1,0).
    Matrix expected = Matrix::translation(100, 100, 0) * Matrix::rotationZ(host::kPi) *
                      Matrix::translation(10, 0, 0) * Matrix::rotationZ(host::kPi / 2) * Matrix::scaling(2, 2, 1) *
                      Matrix::translation(-1, 0, 0);
    Point3 mid = expected.apply({2, 0, 0});
    auto pick = host::pickNested(db, d.view(), mid.x + 0.3, mid.y);
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->entity, leaf);
    EXPECT_EQ(pick->top, top);
    EXPECT_EQ(pick->containers, (std::vector<RecordId>{middle, top}));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(pick->toWorld(i, j), expected(i, j), 1e-12);
    EXPECT_EQ(host::pickNearest(db, d.view(), mid.x, mid.y), top);

    // The second column of the array, 50 units along the reference's turned X axis.
    auto pick2 = host::pickNested(db, d.view(), mid.x - 50, mid.y);
    ASSERT_TRUE(pick2);
    EXPECT_EQ(pick2->entity, leaf);

    // The leaf is on layer 0: it takes the reference's layer, frozen here.
    db.modify(host::findLayer(db, "DOORS"), [](Record& r) { r.setInt(70, host::kLayerFrozen); });
    EXPECT_FALSE(host::pickNested(db, d.view(), mid.x, mid.y));
}

TEST(Pick, NestedPickOnAnOldStylePolylineGivesTheVertexOfTheSegment) {
    Drawing d;
    Database& db = *d.db;
    RecordId poly = db.addEntity(makeRecord("POLYLINE", {{8, "0"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "0"}}), false);
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}}), false);
    RecordId second = db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "10"}, {20, "0"}, {30, "0"}, {42, "1"}}), false);
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "10"}, {20, "10"}, {30, "0"}}), false);
    db.addEntity(makeRecord("SEQEND", {{8, "0"}}), false);
    // The second segment bulges out to the right: its far point is (15, 5).
    auto pick = host::pickNested(db, d.view(), 15.2, 5);
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->entity, second);
    EXPECT_EQ(pick->top, poly);
    EXPECT_TRUE(pick->containers.empty());
    EXPECT_TRUE(pick->toWorld.isIdentity());
    EXPECT_EQ(host::pickNearest(db, d.view(), 15.2, 5), poly);
}

TEST(Pick, ReferenceCyclesDrawNothingPastTheCycle) {
    Drawing d;
    Database& db = *d.db;
    host::BlockDefinition& a = defineBlock(db, "A");
    db.addBlockEntity(a, line("0", 0, 0, 1, 0));
    db.addBlockEntity(a, makeRecord("INSERT", {{8, "0"}, {2, "B"}, {10, "5"}, {20, "0"}, {30, "0"}}));
    host::BlockDefinition& b = defineBlock(db, "B");
    db.addBlockEntity(b, makeRecord("INSERT", {{8, "0"}, {2, "A"}, {10, "5"}, {20, "0"}, {30, "0"}}));
    RecordId refA = db.addEntity(makeRecord("INSERT", {{8, "0"}, {2, "A"}, {10, "0"}, {20, "0"}, {30, "0"}}), false);
    RecordId refB = db.addEntity(makeRecord("INSERT", {{8, "0"}, {2, "B"}, {10, "100"}, {20, "0"}, {30, "0"}}), false);
    // A draws its line at 0..1; its B would draw A again, which is refused.
    host::Box boxA = host::entityExtents(db, refA);
    ASSERT_TRUE(boxA.valid);
    EXPECT_DOUBLE_EQ(boxA.maxX, 1);
    EXPECT_EQ(host::pickNearest(db, d.view(), 0.5, 0), refA);
    EXPECT_EQ(host::pickNearest(db, d.view(), 10.5, 0), host::kNoRecord);
    // B at 100 draws A at 105, whose B is refused: the same rule from either end.
    host::Box boxB = host::entityExtents(db, refB);
    ASSERT_TRUE(boxB.valid);
    EXPECT_DOUBLE_EQ(boxB.minX, 105);
    EXPECT_DOUBLE_EQ(boxB.maxX, 106);
    EXPECT_EQ(host::pickNearest(db, d.view(), 105.5, 0), refB);
}

TEST(Pick, WindowAndCrossingSelectVisibleEntities) {
    Drawing d;
    Database& db = *d.db;
    RecordId inside = db.addEntity(line("0", 1, 1, 4, 4), false);
    RecordId crossing = db.addEntity(line("0", 3, 3, 30, 3), false);
    db.addEntity(line("0", 50, 50, 60, 60), false);
    host::Box window = host::Box::of({0, 0, 0}, {10, 10, 0});
    EXPECT_EQ(host::selectInBox(db, d.view(), window, false), std::vector<RecordId>{inside});
    EXPECT_EQ(host::selectInBox(db, d.view(), window, true), (std::vector<RecordId>{inside, crossing}));
}

TEST(Pick, ThroughTheActiveViewportSkippingItsFrozenLayers) {
    Drawing d;
    Database& db = *d.db;
    host::ensureLayer(db, "A-WALL");
    RecordId wall = db.addEntity(line("A-WALL", 0, 0, 100, 0), false);
    // A viewport 10 paper units high showing 100 model units.
    RecordId vp = db.addEntity(makeRecord("VIEWPORT", {{67, "1"}, {8, "0"}, {10, "50"}, {20, "50"}, {30, "0"}, {40, "20"},
                                                 {41, "10"}, {12, "50"}, {22, "0"}, {45, "100"}, {68, "1"},
                                                 {69, "2"}}),
                                true);
    db.variables().setInteger("TILEMODE", 0);
    db.variables().setInteger("CVPORT", 2);
    host::PickView view = d.view();
    EXPECT_FALSE(view.paperSpace);
    EXPECT_EQ(view.viewport, vp);
    // Paper space shows 800 units over 800 pixels; the viewport magnifies by 10.
    EXPECT_NEAR(view.aperture, 1.5 * 10, 1e-9);
    EXPECT_EQ(host::pickNearest(db, view, 50, 12), wall);
    host::setViewportFrozenLayers(db, vp, {"A-WALL"});
    EXPECT_EQ(host::pickNearest(db, d.view(), 50, 0), host::kNoRecord);
    // The model window the viewport shows: 200 x 100 around its view centre.
    host::Box shown = host::viewportModelBox(db.at(vp));
    EXPECT_DOUBLE_EQ(shown.minX, -50);
    EXPECT_DOUBLE_EQ(shown.maxX, 150);
    EXPECT_DOUBLE_EQ(shown.minY, -50);
    EXPECT_DOUBLE_EQ(shown.maxY, 50);
    // In paper space the viewport's frame is what a pick finds.
    db.variables().setInteger("CVPORT", 1);
    EXPECT_EQ(host::pickNearest(db, d.view(), 40, 55), vp);
}

TEST(Extents, FollowTheEntitiesAsTheyChange) {
    Drawing d;
    Database& db = *d.db;
    RecordId a = db.addEntity(line("0", 0, 0, 10, 5), false);
    db.addEntity(makeRecord("CIRCLE", {{67, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}}), true);
    host::updateDrawingExtents(db);
    EXPECT_EQ(db.variables().point("EXTMAX")[0], 10);
    EXPECT_EQ(db.variables().point("PEXTMIN")[1], -2);
    db.modify(a, [](Record& r) { r.setReal(11, 20); });
    EXPECT_EQ(host::drawingExtents(db, false).maxX, 20);
    db.erase(a);
    host::updateDrawingExtents(db);
    EXPECT_EQ(db.variables().point("EXTMIN")[0], 1e20);  // nothing left in model space

    // A reference follows its block, a polyline its vertices.
    host::BlockDefinition& block = defineBlock(db, "B");
    RecordId member = db.addBlockEntity(block, line("0", 0, 0, 1, 0));
    RecordId ref = db.addEntity(makeRecord("INSERT", {{8, "0"}, {2, "B"}, {10, "10"}, {20, "0"}, {30, "0"}}), false);
    EXPECT_EQ(host::entityExtents(db, ref).maxX, 11);
    db.modify(member, [](Record& r) { r.setReal(11, 5); });
    EXPECT_EQ(host::entityExtents(db, ref).maxX, 15);
    RecordId poly = db.addEntity(makeRecord("POLYLINE", {{8, "0"}, {66, "1"}, {70, "0"}}), false);
    db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "0"}, {20, "0"}}), false);
    RecordId v = db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "3"}, {20, "0"}}), false);
    db.addEntity(makeRecord("SEQEND", {{8, "0"}}), false);
    EXPECT_EQ(host::entityExtents(db, poly).maxX, 3);
    db.modify(v, [](Record& r) { r.setReal(10, 7); });
    EXPECT_EQ(host::entityExtents(db, poly).maxX, 7);
}

}  // namespace
