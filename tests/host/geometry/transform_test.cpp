// Matrices and the transforms of records: each kind checked by where its
// drawn points go, compared with the matrix applied to the original points.
#include <gtest/gtest.h>

#include <cmath>

#include "db/database.h"
#include "geometry/group_points.h"
#include "geometry/transform.h"

namespace {

using host::kPi;
using host::Matrix;
using host::Point3;
using host::Record;

using host::makeRecord;

void expectNear(const Point3& a, const Point3& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

// A point on a circle or arc at an angle in degrees, in world coordinates.
Point3 onCircle(const Record& r, double angleDegrees) {
    host::Ocs ocs(host::normalOf(r));
    Point3 c = *host::pointOf(r, 10);
    double rad = r.real(40).value_or(0), a = host::radians(angleDegrees);
    return ocs.toWorld({c.x + rad * std::cos(a), c.y + rad * std::sin(a), c.z});
}

// A point on an ellipse at a parameter.
Point3 onEllipse(const Record& r, double t) {
    Point3 c = *host::pointOf(r, 10), major = *host::pointOf(r, 11);
    Point3 minor = host::cross(host::normalized(host::normalOf(r)), major) * r.real(40).value_or(1);
    return c + major * std::cos(t) + minor * std::sin(t);
}

TEST(Matrix, ComposesInvertsAndKnowsMirrors) {
    Matrix m = Matrix::translation(5, -2, 1) * Matrix::rotationZ(kPi / 3) * Matrix::scaling(2, 3, 1);
    bool ok = false;
    Matrix inv = m.inverse(&ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE((m * inv).isIdentity(1e-12));
    expectNear(inv.apply(m.apply({1.5, -7, 2})), {1.5, -7, 2});
    EXPECT_GT(m.determinant(), 0);
    Matrix mirror = Matrix::mirror({0, 0, 0}, {1, 1, 0});
    expectNear(mirror.apply({2, 0, 0}), {0, 2, 0});
    EXPECT_LT(mirror.determinant(), 0);
    Matrix singular = Matrix::scaling(1, 0, 1);
    singular.inverse(&ok);
    EXPECT_FALSE(ok);
    double s = 0;
    EXPECT_TRUE((Matrix::rotationZ(1) * Matrix::scaling(4)).isUniform(&s));
    EXPECT_NEAR(s, 4, 1e-12);
    EXPECT_FALSE(Matrix::scaling(1, 2, 1).isUniform());
}

TEST(Ocs, ArbitraryAxisRuleRoundTrips) {
    host::Ocs world;
    EXPECT_TRUE(world.isWorld());
    host::Ocs tilted({0.3, -0.4, 0.8});
    EXPECT_NEAR(host::dot(tilted.xAxis, tilted.normal), 0, 1e-12);
    EXPECT_NEAR(host::dot(tilted.yAxis, tilted.normal), 0, 1e-12);
    expectNear(tilted.fromWorld(tilted.toWorld({1, 2, 3})), {1, 2, 3});
    host::Ocs down({0, 0, -1});  // the mirrored plane's x axis points to -X
    expectNear(down.xAxis, {-1, 0, 0});
}

TEST(TransformRecord, TranslationMovesCoordinatesExactlyAndKeepsTheRest) {
    Record line = makeRecord("LINE", {{8, "WALL"}, {10, "1.1"}, {20, "2.2"}, {30, "0"}, {11, "3.3"}, {21, "4.4"}, {31, "0"}});
    ASSERT_TRUE(host::transformRecord(line, Matrix::translation(0.1, 0.7)));
    EXPECT_EQ(line.real(10), 1.1 + 0.1);
    EXPECT_EQ(line.real(21), 4.4 + 0.7);
    EXPECT_EQ(line.text(30), "0");  // unchanged values keep their text
    EXPECT_EQ(line.text(8), "WALL");
    EXPECT_FALSE(line.has(210));

    Record arc = makeRecord("ARC", {{10, "1"}, {20, "1"}, {30, "0"}, {40, "2"}, {50, "30"}, {51, "120"}});
    ASSERT_TRUE(host::transformRecord(arc, Matrix::translation(3, 4)));
    EXPECT_EQ(arc.text(50), "30");
    EXPECT_EQ(arc.text(51), "120");
    EXPECT_EQ(arc.real(10), 4.0);
}

TEST(TransformRecord, ArcsAndCirclesFollowRotationScaleAndMirror) {
    Record arc = makeRecord("ARC", {{10, "1"}, {20, "2"}, {30, "0"}, {40, "2"}, {50, "10"}, {51, "100"}});
    const Matrix cases[] = {Matrix::rotationZ(0.7) * Matrix::scaling(1.5), Matrix::mirror({0, 0, 0}, {1, 2, 0}),
                            Matrix::translation(1, 1, 0) * Matrix::mirror({0, 3, 0}, {1, 3, 0})};
    for (const Matrix& m : cases) {
        Record moved = arc;
        ASSERT_TRUE(host::transformRecord(moved, m));
        bool mirrored = m.determinant() < 0;
        // The start point maps to the start point, or to the end when mirrored.
        expectNear(onCircle(moved, *moved.real(mirrored ? 51 : 50)), m.apply(onCircle(arc, 10)));
        expectNear(onCircle(moved, *moved.real(mirrored ? 50 : 51)), m.apply(onCircle(arc, 100)));
        EXPECT_FALSE(moved.has(210));  // a 2D mirror keeps the arc in the world plane
    }
    // Stretched unevenly, an arc becomes an elliptical arc through the same points.
    Matrix stretch = Matrix::scaling(2, 1, 1) * Matrix::rotationZ(0.3);
    Record ellipse = arc;
    ellipse.groups.insert(ellipse.groups.begin(), {{8, "A-WALL"}, {100, "AcDbCircle"}});
    ASSERT_TRUE(host::transformRecord(ellipse, stretch));
    EXPECT_EQ(ellipse.type, "ELLIPSE");
    EXPECT_EQ(ellipse.text(8), "A-WALL");
    expectNear(onEllipse(ellipse, *ellipse.real(41)), stretch.apply(onCircle(arc, 10)));
    expectNear(onEllipse(ellipse, *ellipse.real(42)), stretch.apply(onCircle(arc, 100)));
}

TEST(TransformRecord, EllipseTakesAnyAffineMap) {
    Record e = makeRecord("ELLIPSE", {{10, "1"}, {20, "1"}, {30, "0"}, {11, "3"}, {21, "1"}, {31, "0"},
                                {40, "0.4"}, {41, "0.5"}, {42, "2.5"}});
    const Matrix cases[] = {Matrix::scaling(1, 3, 1) * Matrix::rotationZ(0.3), Matrix::mirror({0, 0, 0}, {0, 1, 0}),
                            Matrix::translation(2, 0, 0) * Matrix::rotationZ(2)};
    for (const Matrix& m : cases) {
        Record moved = e;
        ASSERT_TRUE(host::transformRecord(moved, m));
        EXPECT_LE(*moved.real(40), 1.0);
        double s0 = *moved.real(41), s1 = *moved.real(42);
        expectNear(onEllipse(moved, s0), m.apply(onEllipse(e, m.determinant() < 0 ? 2.5 : 0.5)), 1e-9);
        expectNear(onEllipse(moved, s1), m.apply(onEllipse(e, m.determinant() < 0 ? 0.5 : 2.5)), 1e-9);
        double mid = 0.5 * (s0 + (s1 < s0 ? s1 + 2 * kPi : s1));
        expectNear(onEllipse(moved, mid), m.apply(onEllipse(e, 1.5)), 1e-9);
    }
}

TEST(TransformRecord, PolylinesKeepBulgesWidthsAndElevation) {
    Record lw = makeRecord("LWPOLYLINE", {{90, "2"}, {70, "0"}, {43, "0.5"}, {38, "2"}, {10, "0"}, {20, "0"},
                                    {42, "0.5"}, {10, "4"}, {20, "0"}});
    Record mirrored = lw;
    ASSERT_TRUE(host::transformRecord(mirrored, Matrix::mirror({0, 0, 0}, {0, 1, 0}) * Matrix::scaling(2)));
    EXPECT_EQ(mirrored.real(42), -0.5);
    EXPECT_EQ(mirrored.real(43), 1.0);  // widths double; the scale acts on the elevation too
    EXPECT_EQ(mirrored.real(38), 4.0);
    int xs = 0;
    for (const auto& g : mirrored.groups)
        if (g.code == 10) {
            EXPECT_EQ(g.real(), xs++ == 0 ? 0.0 : -8.0);
        }
    EXPECT_FALSE(mirrored.has(30));  // light-weight vertices stay 2D

    Record bulged = lw;
    EXPECT_FALSE(host::transformRecord(bulged, Matrix::scaling(1, 2, 1)));
    Record straight = makeRecord("LWPOLYLINE", {{90, "2"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}});
    EXPECT_TRUE(host::transformRecord(straight, Matrix::scaling(1, 2, 1)));

    Record vertex3d = makeRecord("VERTEX", {{10, "1"}, {20, "2"}, {30, "3"}, {70, "32"}});
    ASSERT_TRUE(host::transformVertex(vertex3d, Matrix::rotation({1, 0, 0}, kPi / 2), {0, 0, 1}));
    expectNear(*host::pointOf(vertex3d, 10), {1, -3, 2}, 1e-12);
}

// A block reference after the transform places every block point where the
// transform takes the point the reference placed before.
Point3 placed(const Record& insert, const Point3& p) {
    Point3 at = *host::pointOf(insert, 10);
    double sx = insert.real(41).value_or(1), sy = insert.real(42).value_or(1);
    double a = host::radians(insert.real(50).value_or(0));
    Point3 s{p.x * sx, p.y * sy, 0};
    return {at.x + s.x * std::cos(a) - s.y * std::sin(a), at.y + s.x * std::sin(a) + s.y * std::cos(a), at.z};
}

TEST(TransformRecord, BlockReferencesTakeRotationScaleAndMirror) {
    Record insert = makeRecord("INSERT", {{2, "DOOR"}, {10, "5"}, {20, "5"}, {30, "0"}, {41, "2"}, {42, "1"}, {50, "30"}});
    const Matrix cases[] = {Matrix::rotationZ(1) * Matrix::scaling(3), Matrix::mirror({1, 0, 0}, {2, 3, 0}),
                            Matrix::translation(-5, 2, 0)};
    for (const Matrix& m : cases) {
        Record moved = insert;
        ASSERT_TRUE(host::transformRecord(moved, m));
        for (Point3 p : {Point3{0, 0, 0}, Point3{1, 0, 0}, Point3{0.5, 2, 0}})
            expectNear(placed(moved, p), m.apply(placed(insert, p)));
    }
    // An uneven scale across a rotated reference would shear its block.
    Record sheared = insert;
    EXPECT_FALSE(host::transformRecord(sheared, Matrix::scaling(1, 2, 1)));
}

TEST(TransformRecord, TextsScaleTheirBoxAndMirrorBackward) {
    Record text = makeRecord("TEXT", {{10, "1"}, {20, "1"}, {30, "0"}, {40, "2.5"}, {1, "A-WALL"}, {50, "0"}});
    Record scaled = text;
    ASSERT_TRUE(host::transformRecord(scaled, Matrix::rotationZ(kPi / 2) * Matrix::scaling(2)));
    EXPECT_DOUBLE_EQ(*scaled.real(40), 5);
    EXPECT_NEAR(*scaled.real(50), 90, 1e-9);
    expectNear(*host::pointOf(scaled, 10), {-2, 2, 0});
    Record mirrored = text;
    ASSERT_TRUE(host::transformRecord(mirrored, Matrix::mirror({0, 0, 0}, {0, 1, 0})));
    EXPECT_EQ(mirrored.integer(71), 2);
    EXPECT_NEAR(*mirrored.real(50), 0, 1e-9);
    Record stretched = text;
    ASSERT_TRUE(host::transformRecord(stretched, Matrix::scaling(3, 1, 1)));
    EXPECT_DOUBLE_EQ(*stretched.real(41), 3);
}

TEST(TransformRecord, KindsWithoutGeometryAndViewportTurnsAreRefused) {
    Record layer = makeRecord("LAYER", {{2, "A-WALL"}});
    EXPECT_FALSE(host::transformRecord(layer, Matrix::translation(1, 0, 0)));
    Record seqend = makeRecord("SEQEND", {{8, "0"}});
    EXPECT_TRUE(host::transformRecord(seqend, Matrix::rotationZ(1)));
    Record vp = makeRecord("VIEWPORT", {{10, "5"}, {20, "5"}, {30, "0"}, {40, "4"}, {41, "3"}, {45, "10"}});
    EXPECT_FALSE(host::transformRecord(vp, Matrix::rotationZ(0.5)));
    ASSERT_TRUE(host::transformRecord(vp, Matrix::translation(1, 1, 0) * Matrix::scaling(2)));
    EXPECT_EQ(vp.real(10), 11.0);
    EXPECT_EQ(vp.real(40), 8.0);
    EXPECT_EQ(vp.real(45), 20.0);
}

TEST(TransformRecord, ImagesMoveTheirCornerAndTurnTheirPixelVectors) {
    Record image = makeRecord("IMAGE", {{10, "3672"}, {20, "11.5"}, {30, "0"}, {11, "2"}, {21, "0"}, {31, "0"},
                                  {12, "0"}, {22, "3"}, {32, "0"}, {13, "88"}, {23, "80"},
                                  {14, "-0.5"}, {24, "-0.5"}, {14, "87.5"}, {24, "79.5"}});
    ASSERT_TRUE(host::transformRecord(image, Matrix::translation(10, 5)));
    EXPECT_EQ(image.real(10), 3682.0);
    EXPECT_EQ(image.real(20), 16.5);
    EXPECT_EQ(image.text(11), "2");  // a move leaves the pixel vectors
    Matrix turn = Matrix::rotationZ(kPi / 2) * Matrix::scaling(2);
    Record wipeout = image;
    wipeout.type = "WIPEOUT";
    ASSERT_TRUE(host::transformRecord(wipeout, turn));
    expectNear(*host::pointOf(wipeout, 10), turn.apply({3682, 16.5, 0}));
    expectNear(*host::pointOf(wipeout, 11), {0, 4, 0});
    expectNear(*host::pointOf(wipeout, 12), {-6, 0, 0});
    EXPECT_EQ(wipeout.text(14), "-0.5");  // the clip boundary is counted in pixels
}

TEST(TransformEntity, PolylineMovesWithItsVerticesOrNotAtAll) {
    host::Database db;
    auto poly = db.addEntity(makeRecord("POLYLINE", {{8, "0"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "0"}}), false);
    auto v1 = db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "1"}, {20, "1"}, {30, "0"}, {42, "1"}}), false);
    auto v2 = db.addEntity(makeRecord("VERTEX", {{8, "0"}, {10, "3"}, {20, "1"}, {30, "0"}}), false);
    auto end = db.addEntity(makeRecord("SEQEND", {{8, "0"}}), false);
    auto after = db.addEntity(makeRecord("LINE", {{10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}}), false);
    EXPECT_EQ(host::subEntities(db, poly), (std::vector<host::RecordId>{v1, v2, end}));
    EXPECT_TRUE(host::subEntities(db, after).empty());

    std::uint64_t before = db.revision();
    EXPECT_FALSE(host::transformEntity(db, poly, Matrix::scaling(1, 2, 1)));  // the bulge refuses
    EXPECT_EQ(db.revision(), before);
    ASSERT_TRUE(host::transformEntity(db, poly, Matrix::mirror({0, 0, 0}, {0, 1, 0})));
    EXPECT_EQ(db.at(v1).real(10), -1.0);
    EXPECT_EQ(db.at(v1).real(42), -1.0);
    EXPECT_EQ(db.at(v2).real(10), -3.0);
    EXPECT_EQ(db.at(after).real(11), 1.0);
    EXPECT_GT(db.at(v2).revision, before);
}

}  // namespace
