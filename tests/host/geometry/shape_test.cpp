// What entities draw: arcs and ellipses measured exactly, bulges, the text
// box rule, hatch boundaries, and the window and crossing tests.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/entity_shape.h"
#include "geometry/text_box.h"

namespace {

using host::Box;
using host::Curve;
using host::kPi;
using host::Point3;
using host::Record;

using host::makeRecord;

void expectBox(const Box& b, double minX, double minY, double maxX, double maxY, double tol = 1e-9) {
    ASSERT_TRUE(b.valid);
    EXPECT_NEAR(b.minX, minX, tol);
    EXPECT_NEAR(b.minY, minY, tol);
    EXPECT_NEAR(b.maxX, maxX, tol);
    EXPECT_NEAR(b.maxY, maxY, tol);
}

TEST(Shape, ArcsReachTheirQuadrantPointsAndMeasureExactly) {
    // An arc from 80 to 190 degrees passes the top and the left of its circle.
    host::Shape arc = host::entityShape(makeRecord("ARC", {{10, "1"}, {20, "1"}, {30, "0"}, {40, "2"}, {50, "80"}, {51, "190"}}));
    Box b = arc.extents();
    expectBox(b, -1, 1 + 2 * std::sin(host::radians(190)), 1 + 2 * std::cos(host::radians(80)), 3);
    EXPECT_NEAR(arc.distance(1, 4), 1, 1e-12);   // beyond the top, on the arc's side
    EXPECT_NEAR(arc.distance(1, 1), 2, 1e-12);   // the centre
    // Below, outside the arc's sweep: the nearest end counts.
    Point3 end{1 + 2 * std::cos(host::radians(190)), 1 + 2 * std::sin(host::radians(190)), 0};
    EXPECT_NEAR(arc.distance(1, -1.5), std::hypot(end.x - 1, end.y + 1.5), 1e-12);

    // A rotated ellipse: its extents and distances agree with dense sampling.
    host::Shape e = host::entityShape(makeRecord("ELLIPSE", {{10, "0"}, {20, "0"}, {30, "0"}, {11, "3"}, {21, "4"}, {31, "0"},
                                                       {40, "0.5"}, {41, "0"}, {42, "6.283185307179586"}}));
    Box sampled;
    const Curve& c = e.curves.front();
    for (int i = 0; i < 100000; ++i) sampled.add(c.at(2 * kPi * i / 100000));
    expectBox(e.extents(), sampled.minX, sampled.minY, sampled.maxX, sampled.maxY, 1e-6);
    double best = 1e9;
    for (int i = 0; i < 100000; ++i) {
        Point3 p = c.at(2 * kPi * i / 100000);
        best = std::min(best, std::hypot(p.x - 4, p.y - 1));
    }
    EXPECT_NEAR(e.distance(4, 1), best, 1e-6);
}

TEST(Shape, BulgesWidthsAndClosedPolylines) {
    // A bulge of 1 is a half circle, counterclockwise from the first point.
    Curve half = host::bulgeSegment({0, 0, 0}, {2, 0, 0}, 1);
    ASSERT_EQ(half.kind, Curve::Kind::Arc);
    EXPECT_NEAR(host::curveDistance(half, 1, -1), 0, 1e-12);
    EXPECT_NEAR(host::curveDistance(half, 1, 1), std::sqrt(2.0), 1e-12);  // the upper half is not drawn
    Curve back = host::bulgeSegment({0, 0, 0}, {2, 0, 0}, -1);
    EXPECT_NEAR(host::curveDistance(back, 1, 1), 0, 1e-12);

    // A wide closed polyline: a pick inside the band touches it, one in the
    // hole it surrounds does not.
    host::Shape square = host::entityShape(makeRecord("LWPOLYLINE", {{90, "4"}, {70, "1"}, {43, "1"}, {10, "0"}, {20, "0"},
                                                               {10, "10"}, {20, "0"}, {10, "10"}, {20, "10"},
                                                               {10, "0"}, {20, "10"}}));
    EXPECT_EQ(square.distance(5, 0.4), 0);
    EXPECT_NEAR(square.distance(5, 5), 4.5, 1e-12);
    expectBox(square.extents(), -0.5, -0.5, 10.5, 10.5);
}

TEST(TextBox, HeightWidthFactorRotationAndJustification) {
    EXPECT_EQ(host::textCharacters("%%c12%%d"), 4u);
    EXPECT_EQ(host::textCharacters("%%uUnder%%u"), 5u);
    EXPECT_EQ(host::textCharacters("Grüße"), 5u);
    EXPECT_EQ(host::textCharacters("\\U+0414\\U+0430x"), 3u);
    EXPECT_EQ(host::textCharacters("\\U+00"), 5u);

    std::array<Point3, 4> c;
    // Four characters 2 high at half width, turned a quarter: 4 along +Y, 2 along -X.
    ASSERT_TRUE(host::textBox(makeRecord("TEXT", {{10, "10"}, {20, "10"}, {30, "0"}, {40, "2"}, {41, "0.5"}, {1, "ABCD"},
                                            {50, "90"}}), c));
    EXPECT_NEAR(c[0].x, 10, 1e-12);
    EXPECT_NEAR(c[1].y, 14, 1e-12);
    EXPECT_NEAR(c[2].x, 8, 1e-12);

    // Middle-centre justification: centred on the second point.
    ASSERT_TRUE(host::textBox(makeRecord("TEXT", {{10, "0"}, {20, "0"}, {30, "0"}, {40, "1"}, {1, "AB"}, {72, "4"},
                                            {11, "5"}, {21, "5"}, {31, "0"}}), c));
    EXPECT_NEAR(c[0].x, 4, 1e-12);
    EXPECT_NEAR(c[0].y, 4.5, 1e-12);
    EXPECT_NEAR(c[2].x, 6, 1e-12);
    EXPECT_NEAR(c[2].y, 5.5, 1e-12);
    EXPECT_FALSE(host::textBox(makeRecord("TEXT", {{10, "0"}, {20, "0"}, {40, "1"}, {1, ""}}), c));

    // MTEXT: two paragraphs (formatting shows nothing), top left at the insertion point.
    ASSERT_TRUE(host::mtextBox(makeRecord("MTEXT", {{10, "0"}, {20, "10"}, {30, "0"}, {40, "3"}, {71, "1"},
                                              {1, "{\\fArial|b1;WALL}\\PLEVEL 2"}}), c));
    EXPECT_NEAR(c[0].x, 0, 1e-12);
    EXPECT_NEAR(c[1].x, 7 * 3, 1e-12);               // "LEVEL 2" is the longer line
    EXPECT_NEAR(c[0].y, 10 - (3 + 3 * 5.0 / 3), 1e-12);  // two lines at 5/3 of the height
    EXPECT_NEAR(c[3].y, 10, 1e-12);
}

TEST(Shape, HatchBoundariesOfPolylineAndEdgePaths) {
    // A polyline path with a bulge and an edge path of a line and a clockwise arc.
    Record hatch = makeRecord("HATCH", {{10, "0"}, {20, "0"}, {30, "0"}, {210, "0"}, {220, "0"}, {230, "1"}, {2, "SOLID"},
                                  {70, "1"}, {71, "0"}, {91, "2"},
                                  {92, "2"}, {72, "1"}, {73, "1"}, {93, "2"}, {10, "0"}, {20, "0"}, {42, "1"},
                                  {10, "2"}, {20, "0"}, {42, "1"}, {97, "0"},
                                  {92, "1"}, {93, "2"}, {72, "1"}, {10, "10"}, {20, "0"}, {11, "20"}, {21, "0"},
                                  {72, "2"}, {10, "15"}, {20, "0"}, {40, "5"}, {50, "0"}, {51, "180"}, {73, "0"},
                                  {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}});
    host::Shape s = host::entityShape(hatch);
    ASSERT_EQ(s.curves.size(), 4u);
    // The bulged path is a full circle of radius 1 about (1, 0); the
    // clockwise arc edge (angles kept negated) is the lower half circle.
    expectBox(s.extents(), 0, -5, 20, 1);
    EXPECT_NEAR(s.distance(15, -5), 0, 1e-12);
    EXPECT_NEAR(s.distance(15, 5), 5, 1e-12);
}

TEST(Shape, WindowHoldsWhollyCrossingTouches) {
    host::Shape line = host::entityShape(makeRecord("LINE", {{10, "0"}, {20, "0"}, {11, "10"}, {21, "10"}}));
    Box inner = Box::of({4, 4, 0}, {6, 6, 0});    // the line passes through, no end inside
    Box aside = Box::of({6, 0, 0}, {10, 3, 0});
    EXPECT_TRUE(line.touches(inner));
    EXPECT_FALSE(line.touches(aside));
    EXPECT_FALSE(line.inside(inner));
    EXPECT_TRUE(line.inside(Box::of({-1, -1, 0}, {11, 11, 0})));
    // A circle around the window does not touch it; one through it does.
    host::Shape around = host::entityShape(makeRecord("CIRCLE", {{10, "5"}, {20, "5"}, {40, "4"}}));
    host::Shape through = host::entityShape(makeRecord("CIRCLE", {{10, "5"}, {20, "8"}, {40, "3"}}));
    EXPECT_FALSE(around.touches(inner));
    EXPECT_TRUE(through.touches(inner));
    // A filled solid around the window touches it.
    host::Shape solid = host::entityShape(makeRecord("SOLID", {{10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {12, "0"},
                                                         {22, "10"}, {13, "10"}, {23, "10"}}));
    EXPECT_TRUE(solid.touches(inner));
}

}  // namespace
