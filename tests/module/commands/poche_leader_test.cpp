// ZANPoche and ZANLeader on the demo drawing.
#include <algorithm>

#include "ads/adslib.h"
#include "demo_fixture.h"

namespace zan::test {
namespace {

class PocheLeader : public DemoDrawing {};

// Level 1's outer walls are 0.3 wide: the outer face on the rectangle
// (0,0)-(30,20), the inner face 0.3 inside, both broken at the openings. A
// pick on the north wall's outer face between the windows at 6.5-8.9 and
// 11-13.4, with the side inside, gives a poche along the wall's centre line,
// 0.15 inside the outer face, 0.3 - 2 x 0.125 = 0.05 wide, on level 1's POCHE
// layer, from window to window.
TEST_F(PocheLeader, PocheFollowsTheWallsCentreLineOnTheLevelsPocheLayer) {
    std::size_t before = entitiesOn("1-POCHE", "LWPOLYLINE").size();
    h.run("levelbar\n@tool 1 click 1\nZANPoche\n0.3\n10,20\n10,19.9\n^C\n");
    std::vector<host::RecordId> poche = entitiesOn("1-POCHE", "LWPOLYLINE");
    ASSERT_EQ(poche.size(), before + 1) << h.transcript();
    const host::Record& made = record(poche.back());
    EXPECT_NEAR(made.real(43).value_or(-1), 0.05, 1e-9);
    std::vector<double> xs;
    for (std::size_t i = 0; i + 1 < made.groups.size(); ++i) {
        if (made.groups[i].code != 10) continue;
        xs.push_back(*made.groups[i].real());
        EXPECT_NEAR(*made.groups[i + 1].real(), 19.85, 1e-9);
    }
    std::sort(xs.begin(), xs.end());
    ASSERT_EQ(xs.size(), 2u);
    EXPECT_NEAR(xs[0], 8.9, 1e-9);
    EXPECT_NEAR(xs[1], 11.0, 1e-9);
    EXPECT_TRUE(shows("What is the width of the wall <3.50>:"));
}

TEST_F(PocheLeader, PocheRefusesWhatIsNotALineOrPolylineAndKeepsTheWidth) {
    h.run("levelbar\n@tool 1 click 1\nZANPoche\n\n10.8,1\n^C\n");  // the entrance door's leaf: a reference
    EXPECT_TRUE(shows("Entity does not appear to be a line or polyline \n"));
    h.run("ZANPoche\n0.5\n^C\nZANPoche\n^C\n");
    EXPECT_TRUE(shows("What is the width of the wall <0.50>:"));
}

TEST_F(PocheLeader, PocheWithoutAPocheLayerOnTheLevelSaysSo) {
    h.run("ZANPoche\n0.3\n10,0\n10,0.2\n@ok\n");  // no level chosen: layer POCHE
    EXPECT_TRUE(shows("Layer  POCHE  does not exist in this drawing."));
    EXPECT_TRUE(shows("Current Level does not have a POCHE layer or it is not thawed."));
}

TEST_F(PocheLeader, LeaderDrawsItsSegmentsAndTurnsTheArrowAlongTheLast) {
    h.run("ZANLeader\n300,300\n310,310\n310,300\n\n");
    std::vector<host::RecordId> arrows;
    for (host::RecordId id : h.db().entities())
        if (!record(id).erased && record(id).type == "INSERT" && record(id).text(2) == "arrow") arrows.push_back(id);
    ASSERT_EQ(arrows.size(), 1u) << h.transcript();
    EXPECT_NEAR(real(arrows[0], 50), 270.0, 1e-6);
    EXPECT_DOUBLE_EQ(real(arrows[0], 10), 310.0);
    EXPECT_DOUBLE_EQ(real(arrows[0], 20), 300.0);

    h.run("ZANLeader\n400,400\n410,400\n\n");
    int lines = 0;
    for (host::RecordId id : h.db().entities())
        if (!record(id).erased && record(id).type == "LINE" && real(id, 10) >= 300) ++lines;
    EXPECT_EQ(lines, 3);
    arrows.clear();
    for (host::RecordId id : h.db().entities())
        if (!record(id).erased && record(id).type == "INSERT" && record(id).text(2) == "arrow") arrows.push_back(id);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_NEAR(std::isnan(real(arrows[1], 50)) ? 0.0 : real(arrows[1], 50), 0.0, 1e-6);
}

TEST_F(PocheLeader, LeaderCancelledAtTheFirstPoint) {
    h.run("ZANLeader\n^C\n");
    EXPECT_TRUE(shows("Function Cancled.\n"));
}

}  // namespace
}  // namespace zan::test
