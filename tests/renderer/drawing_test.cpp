// What the renderer draws of drawings built record by record: layer states,
// colours by layer and by block through nested references, widths, bulges,
// fills, texts in a real font, linetypes, highlighting, and viewports that
// each hide their own frozen layers and clip to their frames.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <set>

#include "db/layers.h"
#include "db/viewport_layers.h"
#include "dxf/dxf.h"
#include "renderer.h"

namespace {

using host::Database;
using host::formatReal;
using host::Record;
using host::RecordId;
using zan::render::Layout;

using host::makeRecord;

Record line(const char* layer, double x0, double y0, double x1, double y1, host::GroupList extra = {}) {
    Record r = makeRecord("LINE", {{8, layer}, {10, formatReal(x0)}, {20, formatReal(y0)}, {30, "0"},
                             {11, formatReal(x1)}, {21, formatReal(y1)}, {31, "0"}});
    r.groups.insert(r.groups.end(), extra.begin(), extra.end());
    return r;
}

Record insert(const char* block, const char* layer, double x, double y, host::GroupList extra = {}) {
    Record r = makeRecord("INSERT", {{8, layer}, {2, block}, {10, formatReal(x)}, {20, formatReal(y)}, {30, "0"}});
    r.groups.insert(r.groups.end(), extra.begin(), extra.end());
    return r;
}

host::BlockDefinition& defineBlock(Database& db, const char* name) {
    RecordId begin = db.add(makeRecord("BLOCK", {{8, "0"}, {2, name}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}}));
    RecordId end = db.add(makeRecord("ENDBLK", {{8, "0"}}));
    return db.addBlock(name, begin, end);
}

// A drawing, the entities it highlights, and pictures of it: a window of
// 100 x 100 drawing units on 200 x 200 pixels, two pixels a unit.
struct Scene : zan::render::DrawingSource {
    std::unique_ptr<Database> db = host::dxf::newDrawing();
    std::set<RecordId> lit;

    const Database& database() const override { return *db; }
    bool highlighted(RecordId id) const override { return lit.count(id) > 0; }

    void layer(const char* name, int colour, bool frozen = false, const char* linetype = nullptr) {
        RecordId id = host::ensureLayer(*db, name);
        db->modify(id, [&](Record& r) {
            r.setInt(62, colour);
            if (frozen) r.setInt(70, host::kLayerFrozen);
            if (linetype) r.set(6, linetype);
        });
    }
    QImage picture(const std::string& layoutName = "Model") const {
        QImage image(200, 200, QImage::Format_RGB32);
        QPainter painter(&image);
        auto layouts = zan::render::drawingLayouts(*db);
        const Layout* layout = layoutName == "Model" ? &layouts[0] : &layouts.at(1);
        zan::render::Style style;
        style.lineWidth = 2;  // two pixels: whole rows of ink on lines at whole units
        zan::render::Renderer(*this, style).draw(painter, QRectF(0, 0, 200, 200), *layout,
                                          host::Box::of({0, 0, 0}, {100, 100, 0}));
        return image;
    }
};

// Pixel of a drawing point.
QPoint at(double x, double y) { return {static_cast<int>(x * 2), static_cast<int>(200 - y * 2)}; }

bool near(QRgb pixel, QColor colour) {
    return std::abs(qRed(pixel) - colour.red()) < 60 && std::abs(qGreen(pixel) - colour.green()) < 60 &&
           std::abs(qBlue(pixel) - colour.blue()) < 60;
}

// Pixels in a drawing-unit rectangle: of a colour, or any but the white paper.
int count(const QImage& image, double x0, double y0, double x1, double y1, std::optional<QColor> colour = {}) {
    QRect r = QRect(at(x0, y1), at(x1, y0)).normalized().intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            QRgb p = image.pixel(x, y);
            if (colour ? near(p, *colour) : p != qRgb(255, 255, 255)) ++n;
        }
    return n;
}

// Runs of ink along the pixel row of a drawing y, between two x.
int runs(const QImage& image, double y, double x0, double x1) {
    int n = 0;
    bool inside = false;
    for (int x = at(x0, y).x(); x <= at(x1, y).x(); ++x) {
        bool ink = image.pixel(x, at(x0, y).y()) != qRgb(255, 255, 255);
        if (ink && !inside) ++n;
        inside = ink;
    }
    return n;
}

TEST(Renderer, LayerStatesAndColours) {
    Scene s;
    s.layer("R", 1);
    s.layer("OFF", -3);
    s.layer("FRZ", 3, true);
    s.db->addEntity(line("R", 10, 10, 90, 10), false);                                  // by layer: red
    s.db->addEntity(line("R", 10, 20, 90, 20, {{62, "3"}}), false);                     // green
    s.db->addEntity(line("R", 10, 30, 90, 30, {{62, "1"}, {420, "255"}}), false);       // true colour blue
    s.db->addEntity(line("OFF", 10, 40, 90, 40), false);
    s.db->addEntity(line("FRZ", 10, 50, 90, 50), false);
    s.db->addEntity(line("R", 10, 60, 90, 60, {{62, "7"}}), false);                     // black on paper
    s.db->addEntity(line("R", 10, 70, 90, 70, {{60, "1"}}), false);                     // invisible
    QImage p = s.picture();
    EXPECT_GT(count(p, 10, 9, 90, 11, QColor(Qt::red)), 100);
    EXPECT_GT(count(p, 10, 19, 90, 21, QColor(Qt::green)), 100);
    EXPECT_GT(count(p, 10, 29, 90, 31, QColor(Qt::blue)), 100);
    EXPECT_EQ(count(p, 0, 35, 100, 55), 0);
    EXPECT_GT(count(p, 10, 59, 90, 61, QColor(Qt::black)), 100);
    EXPECT_EQ(count(p, 0, 65, 100, 75), 0);
    EXPECT_EQ(count(p, 0, 80, 100, 100), 0);
}

TEST(Renderer, NestedReferencesTakeColourAndVisibilityByBlock) {
    Scene s;
    s.layer("R", 1);
    s.layer("B", 5);
    s.layer("FRZ", 3, true);
    s.layer("OFFB", -4);
    host::BlockDefinition& inner = defineBlock(*s.db, "inner");
    s.db->addBlockEntity(inner, line("0", 0, 0, 10, 0, {{62, "0"}}));  // by block
    s.db->addBlockEntity(inner, line("R", 0, 2, 10, 2));
    s.db->addBlockEntity(inner, line("0", 0, 4, 10, 4));  // by layer on layer 0: the reference's layer
    host::BlockDefinition& outer = defineBlock(*s.db, "outer");
    s.db->addBlockEntity(outer, insert("inner", "0", 0, 0, {{62, "0"}}));
    s.db->addEntity(insert("outer", "B", 10, 10, {{62, "6"}, {41, "2"}, {42, "2"}}), false);
    s.db->addEntity(insert("outer", "FRZ", 10, 40, {{66, "1"}}), false);
    s.db->addEntity(makeRecord("ATTRIB", {{8, "R"}, {10, "10"}, {20, "45"}, {30, "0"}, {40, "5"}, {1, "VALUE"}, {2, "TAG"}}),
                    false);
    s.db->addEntity(makeRecord("SEQEND", {{8, "FRZ"}}), false);
    s.db->addEntity(insert("outer", "OFFB", 10, 70), false);
    QImage p = s.picture();
    EXPECT_GT(count(p, 12, 9, 28, 11, QColor(Qt::magenta)), 40);  // by block, twice as long
    EXPECT_GT(count(p, 12, 13, 28, 15, QColor(Qt::red)), 40);
    EXPECT_GT(count(p, 12, 17, 28, 19, QColor(Qt::blue)), 40);
    EXPECT_EQ(count(p, 0, 35, 100, 60), 0);  // the frozen reference hides all it holds
    // On an off layer only what follows the reference's layer hides.
    EXPECT_EQ(count(p, 0, 69, 100, 71), 0);
    EXPECT_GT(count(p, 10, 71, 20, 73, QColor(Qt::red)), 10);
    EXPECT_EQ(count(p, 0, 73.5, 100, 75), 0);
}

TEST(Renderer, WidthsBulgesSolidsAndHatches) {
    Scene s;
    s.layer("W", 7);
    s.db->addEntity(makeRecord("LWPOLYLINE", {{8, "W"}, {90, "2"}, {70, "0"}, {43, "10"}, {10, "10"}, {20, "10"},
                                        {10, "40"}, {20, "10"}}),
                    false);
    // Varying width: nothing at the start, 20 at the end.
    s.db->addEntity(makeRecord("LWPOLYLINE", {{8, "W"}, {90, "2"}, {70, "0"}, {10, "50"}, {20, "10"}, {40, "0"},
                                        {41, "20"}, {10, "90"}, {20, "10"}}),
                    false);
    // A half circle below its chord from (10,70) to (50,70).
    s.db->addEntity(makeRecord("LWPOLYLINE", {{8, "W"}, {90, "2"}, {70, "0"}, {10, "10"}, {20, "70"}, {42, "1"},
                                        {10, "50"}, {20, "70"}}),
                    false);
    s.db->addEntity(makeRecord("SOLID", {{8, "W"}, {10, "60"}, {20, "60"}, {30, "0"}, {11, "80"}, {21, "60"}, {31, "0"},
                                   {12, "60"}, {22, "80"}, {32, "0"}, {13, "80"}, {23, "80"}, {33, "0"}}),
                    false);
    auto hatch = [](const char* fill, double x) {
        std::string x0 = formatReal(x), x1 = formatReal(x + 10);
        return makeRecord("HATCH", {{8, "W"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "SOLID"}, {70, fill}, {71, "0"},
                              {91, "1"}, {92, "2"}, {72, "0"}, {73, "1"}, {93, "4"}, {10, x0}, {20, "85"},
                              {10, x1}, {20, "85"}, {10, x1}, {20, "95"}, {10, x0}, {20, "95"}, {97, "0"},
                              {75, "0"}, {76, "1"}, {98, "0"}});
    };
    s.db->addEntity(hatch("1", 60), false);
    s.db->addEntity(hatch("0", 80), false);
    QImage p = s.picture();
    EXPECT_GE(count(p, 24, 6, 26, 14), 4 * 16);                      // the band is 10 units high
    EXPECT_LT(count(p, 54, 0, 56, 20), count(p, 84, 0, 86, 20) / 2);  // and widens along the second
    EXPECT_GT(count(p, 29, 49, 31, 51), 0);                           // the arc's lowest point
    EXPECT_EQ(count(p, 25, 75, 35, 95), 0);                           // nothing above the chord
    EXPECT_EQ(count(p, 65, 65, 75, 75, QColor(Qt::black)), count(p, 65, 65, 75, 75));  // filled
    EXPECT_GT(count(p, 65, 65, 75, 75), 350);
    EXPECT_GT(count(p, 62, 87, 68, 93), 100);  // a solid hatch fills its boundary
    EXPECT_EQ(count(p, 82, 87, 88, 93), 0);    // a pattern hatch shows its boundary only
    EXPECT_GT(count(p, 79, 84, 91, 96), 20);
}

TEST(Renderer, TextsInARealFont) {
    Scene s;
    s.layer("T", 7);
    s.db->addEntity(makeRecord("TEXT", {{8, "T"}, {10, "10"}, {20, "40"}, {30, "0"}, {40, "10"}, {1, "HELLO"}}), false);
    // Right-justified at (90,20).
    s.db->addEntity(makeRecord("TEXT", {{8, "T"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "5"}, {1, "END"}, {72, "2"},
                                  {11, "90"}, {21, "20"}, {31, "0"}}),
                    false);
    // Two paragraphs hanging from (10,90).
    s.db->addEntity(makeRecord("MTEXT", {{8, "T"}, {10, "10"}, {20, "90"}, {30, "0"}, {40, "4"}, {71, "1"},
                                   {1, "{\\fArial;AB}\\PCD"}}),
                    false);
    QImage p = s.picture();
    EXPECT_GT(count(p, 10, 40, 50, 50), 200);
    EXPECT_GT(count(p, 40, 40, 60, 50), 0);  // five capitals as wide as they are at least
    EXPECT_EQ(count(p, 0, 30, 9.5, 60), 0);
    EXPECT_EQ(count(p, 10, 51, 100, 60), 0);  // capitals are as high as the text
    EXPECT_GT(count(p, 80, 20, 90, 25), 20);
    EXPECT_EQ(count(p, 90.5, 15, 100, 30), 0);
    EXPECT_GT(count(p, 10, 86, 20, 90), 10);  // first line
    EXPECT_EQ(count(p, 10, 84, 30, 85.5), 0);    // the line spacing
    EXPECT_GT(count(p, 10, 79, 20, 82.5), 10);   // second line
}

TEST(Renderer, LinetypesScaleAndHighlightingShows) {
    Scene s;
    host::Record dashed = makeRecord("LTYPE", {{2, "DASHED"}, {70, "0"}, {73, "2"}, {40, "10"}, {49, "5"}, {74, "0"},
                                         {49, "-5"}, {74, "0"}});
    s.db->addEntry("LTYPE", dashed);
    s.layer("D", 7, false, "DASHED");
    RecordId a = s.db->addEntity(line("D", 0, 10, 100, 10), false);
    s.db->addEntity(line("D", 0, 20, 100, 20, {{48, "0.5"}}), false);
    RecordId solid = s.db->addEntity(line("D", 0, 30, 100, 30, {{6, "Continuous"}}), false);
    QImage p = s.picture();
    EXPECT_EQ(runs(p, 10, 1, 99), 10);
    EXPECT_EQ(runs(p, 20, 1, 99), 20);
    EXPECT_EQ(runs(p, 30, 1, 99), 1);
    s.db->variables().setReal("LTSCALE", 2);
    EXPECT_EQ(runs(s.picture(), 10, 1, 99), 5);

    s.db->variables().setReal("LTSCALE", 1);
    s.lit = {a, solid};
    QImage lit = s.picture();
    EXPECT_GT(runs(lit, 30, 1, 99), 20);  // highlighted: dashed finely, in a wider pen
    EXPECT_GT(runs(lit, 10, 1, 99), 20);
    EXPECT_GT(count(lit, 0, 31, 100, 31), 0);
    EXPECT_EQ(count(p, 0, 31, 100, 31), 0);
    EXPECT_EQ(lit.copy(0, 150, 200, 20), p.copy(0, 150, 200, 20));  // the line between is as it was
}

TEST(Renderer, ViewportsHideTheirOwnFrozenLayersAndClipToTheirFrames) {
    Scene s;
    s.layer("A", 7);
    s.layer("B", 7);
    s.db->addEntity(line("A", -1000, 0, 1000, 0), false);
    s.db->addEntity(line("B", -1000, 5, 1000, 5), false);
    s.db->addEntity(line("B", 500, 500, 600, 600), false);
    // Two frames 40 x 40 on the paper, each showing model space around (50, 2.5), 20 high.
    auto viewport = [&](double cx, int number) {
        return s.db->addEntity(makeRecord("VIEWPORT", {{8, "0"}, {67, "1"}, {10, formatReal(cx)}, {20, "50"}, {30, "0"},
                                                 {40, "40"}, {41, "40"}, {68, "1"}, {69, std::to_string(number)},
                                                 {12, "50"}, {22, "2.5"}, {45, "20"}}),
                               true);
    };
    RecordId left = viewport(25, 2);
    viewport(75, 3);
    host::setViewportFrozenLayers(*s.db, left, {"a"});
    QImage p = s.picture("Layout1");
    // Model y 0 shows at paper y 45, model y 5 at paper y 55.
    EXPECT_EQ(count(p, 6, 44, 44, 46), 0);
    EXPECT_GT(count(p, 6, 54, 44, 56), 50);
    EXPECT_GT(count(p, 56, 44, 94, 46), 50);
    EXPECT_GT(count(p, 56, 54, 94, 56), 50);
    // Nothing outside the frames but the frames themselves.
    EXPECT_EQ(count(p, 0, 0, 100, 28), 0);
    EXPECT_EQ(count(p, 0, 72, 100, 100), 0);
    EXPECT_EQ(count(p, 0, 30, 4, 70), 0);
    EXPECT_EQ(count(p, 46, 30, 54, 70), 0);
    EXPECT_GT(count(p, 4.5, 30, 5.5, 70), 60);  // the left frame's edge

    // A layer frozen in the drawing hides in every viewport.
    s.layer("B", 7, true);
    QImage frozen = s.picture("Layout1");
    EXPECT_EQ(count(frozen, 6, 32, 44, 68), 0);
    EXPECT_EQ(count(frozen, 56, 54, 94, 56), 0);
    EXPECT_GT(count(frozen, 56, 44, 94, 46), 50);
}

// Numbers no drawing should hold draw nothing, and stop nothing else.
TEST(Renderer, WildNumbersDrawNothingAndHangNothing) {
    Scene s;
    s.layer("W", 7);
    const char* wild[] = {"nan", "inf", "-inf", "1e300", "-1e308"};
    for (const char* v : wild) {
        s.db->addEntity(line("W", 0, 0, 50, 50, {}), false);
        s.db->addEntity(makeRecord("LINE", {{8, "W"}, {10, v}, {20, "1"}, {30, "0"}, {11, "2"}, {21, v}, {31, "0"}}), false);
        s.db->addEntity(makeRecord("CIRCLE", {{8, "W"}, {10, "50"}, {20, "50"}, {30, "0"}, {40, v}}), false);
        s.db->addEntity(makeRecord("TEXT", {{8, "W"}, {10, v}, {20, "0"}, {30, "0"}, {40, v}, {1, "X"}, {50, v}}), false);
        s.db->addEntity(makeRecord("MTEXT", {{8, "W"}, {10, "1"}, {20, "1"}, {30, "0"}, {40, v}, {41, v}, {1, "A B C"}}),
                        false);
        s.db->addEntity(makeRecord("LWPOLYLINE", {{8, "W"}, {90, "2"}, {70, "1"}, {43, v}, {10, "0"}, {20, "0"}, {42, v},
                                            {10, v}, {20, "5"}}),
                        false);
        s.db->addEntity(line("W", 0, 90, 100, 90, {{48, v}, {6, "DASHED"}}), false);
        s.db->addEntity(insert("NOSUCH", "W", 0, 0, {{41, v}}), false);
    }
    s.db->variables().setReal("LTSCALE", 1e-300);
    QImage p = s.picture();
    EXPECT_GT(count(p, 20, 19, 22, 21), 0);  // the sane line is there
    for (const char* v : wild) {
        s.db->variables().setReal("LTSCALE", std::strtod(v, nullptr));
        s.picture();
    }
}

}  // namespace
