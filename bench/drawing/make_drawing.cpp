// Makes the large drawings the benchmarks and the memory measurements run
// on, with the level file and the configuration file that go with them.
//
//   bench_make_drawing [options] OUT.dxf
//     --size MB        entities until the file is about this big (default 83)
//     --levels N       levels (default 2000)
//     --layers-per-level N   (default 25)
//     --layers-only    the layer table and nothing else of note
//     --zmb FILE       also write a modifier bar file with the levels
//     --zly FILE       also write a layer configuration file with one
//                      configuration "Big" of 1,000 level rules (every other
//                      level frozen, the rest thawed, undefined layers frozen)
//
// The drawing (R2013): levels named "Level NNNN" with modifier LNNNN, their
// layers LNNNN-WALL ... (25 roots, then WALL1 ...); lines, light-weight polylines, arcs,
// circles, texts and references to a block "door" spread over the layers;
// 20 paper-space layouts holding 81 viewports, each with a few layers frozen
// in its extended data. The default size gives the 83 MB drawing of the
// speed figures (50,002 layers, about 400,000 entities).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "drawing/big_drawing.h"
#include "dxf/dxf.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: bench_make_drawing [--size MB] [--levels N] [--layers-per-level N] [--layers-only] "
                         "[--zmb FILE] "
                         "[--zly FILE] OUT.dxf\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    zan::bench::DrawingOptions o;
    std::string out, zmb, zly;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--size" && more) o.sizeMb = std::atof(argv[++i]);
        else if (a == "--levels" && more) o.levels = std::atoi(argv[++i]);
        else if (a == "--layers-only") o.layersOnly = true;
        else if (a == "--layers-per-level" && more) o.layersPerLevel = std::atoi(argv[++i]);
        else if (a == "--zmb" && more) zmb = argv[++i];
        else if (a == "--zly" && more) zly = argv[++i];
        else if (!a.empty() && a[0] != '-' && out.empty()) out = a;
        else return usage();
    }
    if (out.empty() || o.levels < 1 || o.levels > 9999 || o.layersPerLevel < 1) return usage();
    auto db = zan::bench::makeDrawing(o);
    host::dxf::writeFile(*db, out);
    if (!zmb.empty()) zan::bench::writeZmb(zmb, o.levels);
    if (!zly.empty()) zan::bench::writeZly(zly, o.levels);
    std::ifstream in(out, std::ios::binary | std::ios::ate);
    std::printf("%s: %.1f MB, %zu layers, %zu entities\n", out.c_str(), static_cast<double>(in.tellg()) / 1e6,
                db->table("LAYER")->entries.size(), db->entities().size());
    return 0;
}
