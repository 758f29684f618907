// The renderer on a large drawing: 40,000 entities (lines, arcs, wide
// light-weight polylines with bulges, texts and references to a block that
// holds a nested reference) spread over 2,000 x 2,000 units, drawn into a
// 1600 x 1200 picture.
//   Whole     the extents: every entity drawn
//   Zoomed    a window of 100 x 75 units: what lies outside is passed over
//   Layout    a sheet with four viewports on the drawing
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>
#include <random>

#include "dxf/dxf.h"
#include "plot.h"
#include "renderer.h"

namespace {

using host::formatReal;

using host::makeRecord;

struct LargeDrawing {
    std::unique_ptr<host::Database> db = host::dxf::newDrawing();

    LargeDrawing() {
        auto block = [&](const char* name) -> host::BlockDefinition& {
            return db->addBlock(name, db->add(makeRecord("BLOCK", {{2, name}, {10, "0"}, {20, "0"}, {30, "0"}})),
                                db->add(makeRecord("ENDBLK", {})));
        };
        host::BlockDefinition& leaf = block("LEAF");
        db->addBlockEntity(leaf, makeRecord("CIRCLE", {{8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "0.5"}}));
        host::BlockDefinition& door = block("DOOR");
        db->addBlockEntity(door, makeRecord("LINE", {{8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}}));
        db->addBlockEntity(door, makeRecord("ARC", {{8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}}));
        db->addBlockEntity(door, makeRecord("INSERT", {{8, "0"}, {2, "LEAF"}, {10, "1"}, {20, "1"}, {30, "0"}}));
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> at(0, 2000), step(-3, 3);
        for (int i = 0; i < 40000; ++i) {
            double x = at(rng), y = at(rng);
            std::string sx = formatReal(x), sy = formatReal(y), ex = formatReal(x + step(rng)),
                        ey = formatReal(y + step(rng));
            switch (i % 5) {
                case 0: db->addEntity(makeRecord("LINE", {{8, "A-WALL"}, {10, sx}, {20, sy}, {30, "0"}, {11, ex}, {21, ey}, {31, "0"}}), false); break;
                case 1: db->addEntity(makeRecord("ARC", {{8, "A-WALL"}, {10, sx}, {20, sy}, {30, "0"}, {40, "2"}, {50, "10"}, {51, "200"}}), false); break;
                case 2: db->addEntity(makeRecord("LWPOLYLINE", {{8, "A-POCHE"}, {90, "3"}, {70, "1"}, {43, "0.2"}, {10, sx}, {20, sy}, {42, "0.3"}, {10, ex}, {20, sy}, {10, ex}, {20, ey}}), false); break;
                case 3: db->addEntity(makeRecord("TEXT", {{8, "A-TEXT"}, {10, sx}, {20, sy}, {30, "0"}, {40, "1.5"}, {1, "ROOM 101"}, {50, "30"}}), false); break;
                case 4: db->addEntity(makeRecord("INSERT", {{8, "A-DOOR"}, {2, "DOOR"}, {10, sx}, {20, sy}, {30, "0"}, {50, "45"}, {41, "2"}, {42, "2"}}), false); break;
            }
        }
        for (int i = 0; i < 4; ++i)
            db->addEntity(makeRecord("VIEWPORT", {{8, "0"}, {67, "1"}, {10, formatReal(110 + (i % 2) * 200)},
                                            {20, formatReal(80 + (i / 2) * 140)}, {30, "0"}, {40, "190"}, {41, "130"},
                                            {68, "1"}, {69, std::to_string(i + 2)}, {12, formatReal(500 + i * 300)},
                                            {22, "1000"}, {45, formatReal(100.0 * (i + 1))}}),
                          true);
    }
};

LargeDrawing& drawing() {
    static LargeDrawing d;
    return d;
}

void draw(benchmark::State& state, const char* layoutName, host::Box window) {
    zan::render::ensureGuiApplication();
    zan::render::DatabaseSource source(*drawing().db);
    auto layouts = zan::render::drawingLayouts(*drawing().db);
    const zan::render::Layout* layout = zan::render::findLayout(layouts, layoutName);
    zan::render::Renderer renderer(source);
    QImage image(1600, 1200, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        renderer.draw(painter, QRectF(0, 0, 1600, 1200), *layout, window);
    }
}

void Whole(benchmark::State& state) { draw(state, "Model", host::Box::of({0, 0, 0}, {2000, 2000, 0})); }
void Zoomed(benchmark::State& state) { draw(state, "Model", host::Box::of({1000, 1000, 0}, {1100, 1075, 0})); }
void Layout(benchmark::State& state) { draw(state, "Layout1", host::Box::of({0, 0, 0}, {420, 297, 0})); }

BENCHMARK(Whole)->Unit(benchmark::kMillisecond);
BENCHMARK(Zoomed)->Unit(benchmark::kMillisecond);
BENCHMARK(Layout)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
