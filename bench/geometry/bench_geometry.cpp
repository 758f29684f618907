// The geometry core on a large drawing: 200,000 entities (lines, arcs,
// light-weight polylines with bulges, texts and references to a block that
// holds a nested reference) spread over 10,000 x 10,000 units.
//   Pick/warm      a pick with every entity's box known
//   Pick/changed   a pick right after one entity changed (the boxes of
//                  references are made again)
//   Window         a crossing window of 100 x 100 units
//   Extents        EXTMIN/EXTMAX made again after one entity changed
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "dxf/dxf.h"
#include "geometry/extents.h"
#include "geometry/pick.h"

namespace {

using host::formatReal;

using host::makeRecord;

struct LargeDrawing {
    std::unique_ptr<host::Database> db = host::dxf::newDrawing();
    host::RecordId changing = host::kNoRecord;

    LargeDrawing() {
        auto block = [&](const char* name) -> host::BlockDefinition& {
            auto& b = db->addBlock(name, db->add(makeRecord("BLOCK", {{2, name}, {10, "0"}, {20, "0"}, {30, "0"}})),
                                   db->add(makeRecord("ENDBLK", {})));
            return b;
        };
        host::BlockDefinition& leaf = block("LEAF");
        db->addBlockEntity(leaf, makeRecord("CIRCLE", {{8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "0.5"}}));
        host::BlockDefinition& door = block("DOOR");
        db->addBlockEntity(door, makeRecord("LINE", {{8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}}));
        db->addBlockEntity(door, makeRecord("ARC", {{8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}}));
        db->addBlockEntity(door, makeRecord("INSERT", {{8, "0"}, {2, "LEAF"}, {10, "1"}, {20, "1"}, {30, "0"}}));
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> at(0, 10000), step(-3, 3);
        for (int i = 0; i < 200000; ++i) {
            double x = at(rng), y = at(rng);
            std::string sx = formatReal(x), sy = formatReal(y), ex = formatReal(x + step(rng)),
                        ey = formatReal(y + step(rng));
            host::RecordId id = host::kNoRecord;
            switch (i % 5) {
                case 0: id = db->addEntity(makeRecord("LINE", {{8, "A-WALL"}, {10, sx}, {20, sy}, {30, "0"}, {11, ex}, {21, ey}, {31, "0"}}), false); break;
                case 1: id = db->addEntity(makeRecord("ARC", {{8, "A-WALL"}, {10, sx}, {20, sy}, {30, "0"}, {40, "2"}, {50, "10"}, {51, "200"}}), false); break;
                case 2: id = db->addEntity(makeRecord("LWPOLYLINE", {{8, "A-POCHE"}, {90, "3"}, {70, "1"}, {43, "0.2"}, {10, sx}, {20, sy}, {42, "0.3"}, {10, ex}, {20, sy}, {10, ex}, {20, ey}}), false); break;
                case 3: id = db->addEntity(makeRecord("TEXT", {{8, "A-TEXT"}, {10, sx}, {20, sy}, {30, "0"}, {40, "1.5"}, {1, "ROOM 101"}, {50, "30"}}), false); break;
                case 4: id = db->addEntity(makeRecord("INSERT", {{8, "A-DOOR"}, {2, "DOOR"}, {10, sx}, {20, sy}, {30, "0"}, {50, "45"}, {41, "2"}, {42, "2"}}), false); break;
            }
            changing = id;
        }
        db->variables().setReal("VIEWSIZE", 200);
        host::updateDrawingExtents(*db);
    }
    void touch() { db->modify(changing, [](host::Record& r) { r.setReal(10, 5000); }); }
};

LargeDrawing& drawing() {
    static LargeDrawing d;
    return d;
}

void BM_PickWarm(benchmark::State& state) {
    LargeDrawing& d = drawing();
    host::PickView view = host::currentPickView(*d.db);
    for (auto _ : state) benchmark::DoNotOptimize(host::pickNearest(*d.db, view, 5000, 5000));
}
BENCHMARK(BM_PickWarm)->Name("Pick/warm")->Unit(benchmark::kMillisecond);

void BM_PickChanged(benchmark::State& state) {
    LargeDrawing& d = drawing();
    host::PickView view = host::currentPickView(*d.db);
    for (auto _ : state) {
        d.touch();
        benchmark::DoNotOptimize(host::pickNearest(*d.db, view, 5000, 5000));
    }
}
BENCHMARK(BM_PickChanged)->Name("Pick/changed")->Unit(benchmark::kMillisecond);

void BM_Window(benchmark::State& state) {
    LargeDrawing& d = drawing();
    host::PickView view = host::currentPickView(*d.db);
    host::Box box = host::Box::of({4950, 4950, 0}, {5050, 5050, 0});
    for (auto _ : state) benchmark::DoNotOptimize(host::selectInBox(*d.db, view, box, true));
}
BENCHMARK(BM_Window)->Unit(benchmark::kMillisecond);

void BM_Extents(benchmark::State& state) {
    LargeDrawing& d = drawing();
    for (auto _ : state) {
        d.touch();
        host::updateDrawingExtents(*d.db);
    }
}
BENCHMARK(BM_Extents)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
