// Offsets of paths of line and arc segments: joins extended or trimmed,
// segments turned around by the trimming dropped, sides and through
// distances. The same computation is checked on drawings against ezdxf in
// tests/host/commands/edit_commands_ezdxf.py.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/offset.h"

using host::BulgePath;
using host::BulgeVertex;

namespace {

void expectVertices(const BulgePath& got, const std::vector<std::array<double, 3>>& want) {
    ASSERT_EQ(got.vertices.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got.vertices[i].x, want[i][0], 1e-12) << "vertex " << i;
        EXPECT_NEAR(got.vertices[i].y, want[i][1], 1e-12) << "vertex " << i;
        EXPECT_NEAR(got.vertices[i].bulge, want[i][2], 1e-12) << "vertex " << i;
    }
}

}  // namespace

TEST(Offset, ClosedSquareInwardAndOutwardMeetsAtItsCorners) {
    BulgePath square{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true};
    // Counter-clockwise: left is inside.
    auto inside = host::offsetPath(square, 1);
    ASSERT_TRUE(inside);
    EXPECT_TRUE(inside->closed);
    expectVertices(*inside, {{1, 1, 0}, {9, 1, 0}, {9, 9, 0}, {1, 9, 0}});
    auto outside = host::offsetPath(square, -2);
    ASSERT_TRUE(outside);
    expectVertices(*outside, {{-2, -2, 0}, {12, -2, 0}, {12, 12, 0}, {-2, 12, 0}});
    EXPECT_EQ(host::sideOfPath(square, 5, 5), 1);
    EXPECT_EQ(host::sideOfPath(square, 5, -5), -1);
    EXPECT_EQ(host::sideOfPath(square, 5, 0), 0);
    EXPECT_DOUBLE_EQ(host::throughDistance(square, 5, 7.5), 2.5);
}

TEST(Offset, ArcSegmentsChangeRadiusAndKeepTheirSweep) {
    // A half circle from (0,0) to (10,0) counter-clockwise (below the chord), then a line up.
    BulgePath path{{{0, 0, 1}, {10, 0, 0}, {10, 5}}, false};
    auto out = host::offsetPath(path, 1);  // left of a counter-clockwise arc: towards its centre
    ASSERT_TRUE(out);
    // Radius 4 about (5, 0); the line x = 9 meets it tangentially at (9, 0).
    expectVertices(*out, {{1, 0, 1}, {9, 0, 0}, {9, 5, 0}});
    EXPECT_EQ(host::sideOfPath(path, 5, -2), 1);
    EXPECT_DOUBLE_EQ(host::throughDistance(path, 5, -2), 3);
    // An arc shrunk to nothing cannot be offset.
    EXPECT_FALSE(host::offsetPath(path, 5));
    EXPECT_FALSE(host::offsetPath(BulgePath{{{0, 0}}, false}, 1));
}

TEST(Offset, ASegmentTurnedAroundByTheTrimmingIsDropped) {
    // A short chamfer at a corner, offset inward by more than its length.
    BulgePath path{{{0, 0}, {10, 0}, {10.2, 0.2}, {10.2, 10}}, false};
    auto out = host::offsetPath(path, 1);
    ASSERT_TRUE(out);
    expectVertices(*out, {{0, 1, 0}, {9.2, 1, 0}, {9.2, 10, 0}});
    EXPECT_EQ(out->vertices[1].source, 2);  // the corner comes from the third segment's start
}
