// copytomod and movetomod: entities onto the layers of other modifiers,
// dragged or stepped into place.
#include <algorithm>
#include <cstring>

#include "ads/adslib.h"
#include "demo_fixture.h"
#include "dxf/dxf.h"

namespace zan::test {
namespace {

class ModifierCopy : public DemoDrawing {
protected:
    // The spine wall's west face on level 1: a line from (14.9, 0.3) to (14.9, 9) on 1-WALL.
    host::RecordId interiorWall() {
        for (host::RecordId id : entitiesOn("1-WALL", "LINE")) return id;
        ADD_FAILURE() << "no interior wall";
        return host::kNoRecord;
    }
    const host::Record& layerRecord(const std::string& name) { return record(host::findLayer(h.db(), name)); }

    // An old-style polyline on 1-WALL through (200,-20), (210,-20), (210,-10).
    void makeOldStylePolyline() {
        ads_point zero = {0, 0, 0};
        ads_point points[3] = {{200, -20, 0}, {210, -20, 0}, {210, -10, 0}};
        auto make = [](resbuf* list) {
            int status = ads_entmake(list);
            ads_relrb(list);
            return status;
        };
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "POLYLINE", 8, "1-WALL", 66, 1, 10, zero, 70, 0, 0)), RTNORM);
        for (const ads_point& p : points) ASSERT_EQ(make(ads_buildlist(RTDXF0, "VERTEX", 8, "1-WALL", 10, p, 0)), RTNORM);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "SEQEND", 8, "1-WALL", 0)), RTNORM);
    }
    // The layers and points of the polyline's header and the entities after it, up to SEQEND.
    struct Part {
        std::string type, layer;
        double x = 0, y = 0;
    };
    std::vector<Part> polylineParts() {
        std::vector<Part> parts;
        ads_name current;
        bool more = ads_entnext(nullptr, current) == RTNORM;
        while (more) {
            resbuf* data = ads_entget(current);
            Part p;
            for (resbuf* rb = data; rb; rb = rb->rbnext) {
                if (rb->restype == 0) p.type = rb->resval.rstring;
                if (rb->restype == 8) p.layer = rb->resval.rstring;
                if (rb->restype == 10) {
                    p.x = rb->resval.rpoint[0];
                    p.y = rb->resval.rpoint[1];
                }
            }
            ads_relrb(data);
            if (p.type == "POLYLINE" || !parts.empty()) parts.push_back(p);
            if (p.type == "SEQEND" && !parts.empty()) break;
            ads_name next;
            more = ads_entnext(current, next) == RTNORM;
            ads_name_set(next, current);
        }
        return parts;
    }
};

TEST_F(ModifierCopy, CopiesGoOnTheLayerOfBothModifiersMadeLikeTheSourceAndMoveByTheDrag) {
    host::RecordId wall = interiorWall();
    h.db().modify(wall, [](host::Record& r) { r.xdata = {{1001, "TUV_1001001"}, {1000, "kept"}}; });
    h.run("copytomod\n14.9,5\n\nB\nC\n0,0\n10,5\n");
    ASSERT_TRUE(layerExists("B-C-WALL")) << h.transcript();
    EXPECT_EQ(layerRecord("B-C-WALL").integer(62), layerRecord("1-WALL").integer(62));
    EXPECT_EQ(layerRecord("B-C-WALL").text(6), layerRecord("1-WALL").text(6));
    std::vector<host::RecordId> copies = entitiesOn("B-C-WALL", "LINE");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_DOUBLE_EQ(real(copies[0], 10), 24.9);
    EXPECT_DOUBLE_EQ(real(copies[0], 20), 5.3);
    EXPECT_DOUBLE_EQ(real(copies[0], 11), 24.9);
    EXPECT_DOUBLE_EQ(real(copies[0], 21), 14.0);
    EXPECT_EQ(record(copies[0]).xdataOf("TUV_1001001").size(), 2u);
    // The original stays where it was.
    EXPECT_EQ(record(wall).text(8), "1-WALL");
    EXPECT_DOUBLE_EQ(real(wall, 10), 14.9);

    // The saved drawing holds the copy as it is here.
    h.run("SAVEAS\n" + dir + "/copied.dxf\n");
    auto saved = host::dxf::readFile(dir + "/copied.dxf");
    int found = 0;
    for (host::RecordId id : saved->entities()) {
        const host::Record& r = saved->at(id);
        if (r.type != "LINE" || r.text(8) != "B-C-WALL") continue;
        ++found;
        EXPECT_DOUBLE_EQ(r.real(10).value_or(NAN), 24.9);
        EXPECT_DOUBLE_EQ(r.real(21).value_or(NAN), 14.0);
        EXPECT_EQ(r.xdataOf("TUV_1001001").size(), 2u);
    }
    EXPECT_EQ(found, 1);
    EXPECT_NE(saved->findEntry("LAYER", "B-C-WALL"), host::kNoRecord);
}

TEST_F(ModifierCopy, PreviousAndInvertStepTheResultAlongY) {
    h.run("copytomod\n14.9,5\n\nB\n\nP\n");
    std::vector<host::RecordId> copies = entitiesOn("B-WALL", "LINE");
    ASSERT_EQ(copies.size(), 1u) << h.transcript();
    EXPECT_DOUBLE_EQ(real(copies[0], 20), 120.3);

    h.run("movetomod\n14.9,5\n\n\n\nI\n");  // both modifiers empty: onto WALL, 120 down
    std::vector<host::RecordId> moved = entitiesOn("WALL", "LINE");
    ASSERT_EQ(moved.size(), 1u) << h.transcript();
    EXPECT_DOUBLE_EQ(real(moved[0], 20), 0.3 - 120.0);
}

TEST_F(ModifierCopy, LayerZeroEntitiesKeepTheirLayerAndCancelLeavesThemInPlace) {
    h.run("-LAYER\nS\n0\n\nLINE\n300,300\n310,300\n\n");
    h.run("copytomod\n305,300\n\nB\n\n^C\n");
    std::vector<host::RecordId> lines = entitiesOn("0", "LINE");
    ASSERT_EQ(lines.size(), 2u) << h.transcript();
    for (host::RecordId id : lines) EXPECT_DOUBLE_EQ(real(id, 20), 300.0);
}

TEST_F(ModifierCopy, MovetomodTakesAnOldStylePolylineWithItsVertices) {
    makeOldStylePolyline();
    h.run("movetomod\n205,-20\n\nB\n\n0,0\n10,0\n");
    std::vector<Part> parts = polylineParts();
    ASSERT_EQ(parts.size(), 5u) << h.transcript();
    for (const Part& p : parts) EXPECT_EQ(p.layer, "B-WALL") << p.type;
    EXPECT_DOUBLE_EQ(parts[1].x, 210.0);
    EXPECT_DOUBLE_EQ(parts[2].x, 220.0);
    EXPECT_DOUBLE_EQ(parts[3].y, -10.0);
}

TEST_F(ModifierCopy, ANameTooLongForTheBufferIsRefused) {
    // 120 + 1 + 10 + 1 + 4 characters: each modifier fits, the name does not.
    std::size_t lines = entitiesOn("1-WALL", "LINE").size();
    h.run("copytomod\n14.9,5\n\n" + std::string(120, 'M') + "\n" + std::string(10, 'N') + "\n");
    EXPECT_TRUE(shows("is longer than 127 characters."));
    EXPECT_EQ(entitiesOn("1-WALL", "LINE").size(), lines);
}

}  // namespace
}  // namespace zan::test
