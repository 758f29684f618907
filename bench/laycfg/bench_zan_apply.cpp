// zan --apply as a user runs it: the program restores a layer configuration
// in a set of generated drawings of about 5 MB each (400 levels, 10,000
// layers, lines, texts, blocks and 81 viewports) and saves every result.
//   ApplyPerDrawing/N   one run of the program over N copies of the drawing;
//                       ms_per_drawing is the wall time divided by N
//                       (reading, restoring "Big" with its 400 level rules,
//                       saving; the program's start shared by the N)
// The drawing records its level file in its initialization object, so the
// configuration's level names resolve as in a drafter's drawing. The files
// go to $ZAN_BENCH_DIR (default /tmp/zan_bench), made on first use.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "drawing/big_drawing.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLevels = 400;

std::string benchDir() {
    const char* env = std::getenv("ZAN_BENCH_DIR");
    std::string dir = env && *env ? env : "/tmp/zan_bench";
    fs::create_directories(dir);
    return dir;
}

// The 5 MB drawing with its .Zmb recorded in its initialization object, and
// the .Zly; returns the stem.
std::string sheet() {
    const std::string stem = benchDir() + "/apply5mb";
    if (fs::exists(stem + ".sheet.dxf")) return stem;
    zan::bench::DrawingOptions o;
    o.sizeMb = 5;
    o.levels = kLevels;
    zan::bench::writeDrawing(o, stem + ".dxf");
    zan::bench::writeZmb(stem + ".Zmb", kLevels);
    zan::bench::writeZly(stem + ".Zly", kLevels);
    zan::app::SessionOptions options;
    options.modulePath = ZAN_MODULE_PATH;
    options.profileDirectory = benchDir() + "/profile";
    zan::app::Session session(options, [](std::string_view) {});
    session.openDrawing(stem + ".dxf");
    session.loadModule();
    zan::app::Script script("ZANpref\n@edit 1003 \"" + stem + ".Zmb\"\n@ok\n");
    session.run(script);
    session.saveDrawing(stem + ".sheet.dxf");
    return stem;
}

void BM_ApplyPerDrawing(benchmark::State& state) {
    const std::string stem = sheet();
    const int count = static_cast<int>(state.range(0));
    std::string drawings;
    for (int i = 0; i < count; ++i) {
        const std::string copy = stem + ".copy" + std::to_string(i) + ".dxf";
        if (!fs::exists(copy)) fs::copy_file(stem + ".sheet.dxf", copy);
        drawings += " '" + copy + "'";
    }
    const std::string out = benchDir() + "/apply-out";
    const std::string command = std::string("'") + ZAN_BINARY + "' --apply Big --configurations '" + stem +
                                ".Zly' --save-in '" + out + "'" + drawings + " > /dev/null 2>&1";
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError(("failed: " + command).c_str());
    }
    state.counters["ms_per_drawing"] =
        benchmark::Counter(1000.0 * seconds / (static_cast<double>(state.iterations()) * count));
    state.counters["MB_per_drawing"] = benchmark::Counter(static_cast<double>(fs::file_size(stem + ".sheet.dxf")) / 1e6);
    fs::remove_all(out);
}
BENCHMARK(BM_ApplyPerDrawing)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
