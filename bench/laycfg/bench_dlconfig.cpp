// What the user waits for in the layer configuration dialogs, in a session
// of the host with the module loaded, on generated drawings read from DXF:
//   CaptureThroughEditor/N   dlconfig, New..., CAPTURE GLOBAL, Cancel, on a
//                            drawing of N layers (1,000 levels; levels freeze
//                            none, a third, half, three quarters or all of
//                            their layers, and a tenth of the layers belong
//                            to no level): the editor's layer list (the
//                            table is read and sorted only when the drawing
//                            changed since the last list), the analysis,
//                            the lists filled
//   CaptureAndCommit/N       the same with OK (the configuration made, then
//                            deleted again, the file saved), up to 1,000,000
//                            layers
//   CaptureAfterEdit/N/R     CaptureAndCommit with a layer changed before
//                            each run (an editor opened on an unchanged
//                            drawing shows the layer list it showed last):
//                            the whole table read every time, and with
//                            R = 1 the layer also renamed, so that the
//                            names are sorted anew as well
//   RestoreThroughDlconfig/N dlconfig, select "Big", Restore to Model Space
//                            (1,000 level rules), on N layers
//   RestoreAfterEdit/N       the same with a layer changed before each run
//                            (the restore cannot start from the table the
//                            last one left)
//   LoadZmb/N                reading a .Zmb of N level lines into the level list
//   OpenRestoreSave          open the 83 MB drawing, restore "Big" through
//                            dlconfig, save it: one session from start to end
//   LayerTableWalk/N         ads_tblnext over a table of N layers, each entry
//                            released again: what every full read costs
// The capture benchmarks also count the page faults of a run ("faults"):
// memory taken fresh from the system is slow on some machines.
// The files go to $ZAN_BENCH_DIR (default /tmp/zan_bench), made on first use.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "ads/adslib.h"
#include "db/layers.h"
#include "drawing/big_drawing.h"
#include "levels/modifier_file_levels.h"
#include "session/session.h"
#include "shell/state.h"

namespace {

std::string benchDir() {
    const char* env = std::getenv("ZAN_BENCH_DIR");
    std::string dir = env && *env ? env : "/tmp/zan_bench";
    ::mkdir(dir.c_str(), 0755);
    return dir;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

constexpr int kLevels = 1000;

// A layer-only drawing of about `layers` layers (1,000 levels), its .Zmb and
// its .Zly; returns the drawing's path.
std::string layerDrawing(int layers) {
    std::string stem = benchDir() + "/layers" + std::to_string(layers);
    if (!exists(stem + ".dxf")) {
        zan::bench::DrawingOptions o;
        o.levels = kLevels;
        o.layersPerLevel = layers / kLevels;
        o.layersOnly = true;
        zan::bench::writeDrawing(o, stem + ".dxf");
        zan::bench::writeZmb(stem + ".Zmb", kLevels);
        zan::bench::writeZly(stem + ".Zly", kLevels);
    }
    return stem;
}

std::string bigDrawing() {
    std::string stem = benchDir() + "/big";
    if (!exists(stem + ".dxf")) {
        zan::bench::DrawingOptions o;
        zan::bench::writeDrawing(o, stem + ".dxf");
        zan::bench::writeZmb(stem + ".Zmb", o.levels);
        zan::bench::writeZly(stem + ".Zly", o.levels);
    }
    return stem;
}

struct DlconfigSession {
    std::unique_ptr<zan::app::Session> session;
    std::string transcriptTail;

    explicit DlconfigSession(const std::string& stem) {
        zan::app::SessionOptions options;
        options.modulePath = ZAN_MODULE_PATH;
        options.profileDirectory = benchDir() + "/profile";
        session = std::make_unique<zan::app::Session>(options, [this](std::string_view text) {
            // Only the end is kept, to tell what went wrong.
            transcriptTail.append(text);
            if (transcriptTail.size() > 4096) transcriptTail.erase(0, transcriptTail.size() - 2048);
        });
        session->newDrawing();
        session->loadModule();
        session->openDrawing(stem + ".dxf");
        // Keep the .Zly untouched: the runs work on a copy.
        std::ifstream in(stem + ".Zly", std::ios::binary);
        std::ofstream(stem + ".run.Zly", std::ios::binary) << in.rdbuf();
        // The levels first, so that the configuration file's level names
        // resolve when it is read.
        run("ZANpref\n@edit 1003 \"" + stem + ".Zmb\"\n@ok\ndlconfig\n@file " + stem + ".run.Zly\n@escape\n");
    }
    bool run(const std::string& text) {
        zan::app::Script script(text);
        return session->run(script) == 0;
    }
};

// Freezes a share of each level's layers, so that every branch of the
// analysis is taken, and leaves a tenth of the layers to no level.
void freezeSome(host::Database& db, int layers) {
    const int perLevel = layers / kLevels;
    const int frozenOf[5] = {0, perLevel / 3, perLevel / 2, perLevel * 3 / 4, perLevel};
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r < perLevel; ++r) {
            host::RecordId id = host::findLayer(db, zan::bench::layerName(l, r));
            if (id == host::kNoRecord) continue;
            bool frozen = r < frozenOf[l % 5];
            bool noLevel = r % 10 == 7;
            db.modify(id, [&](host::Record& rec) {
                if (frozen) rec.set(70, "1");
                if (noLevel) rec.set(2, "X" + std::string(rec.text(2)));  // a name of no level
            });
        }
    db.reindexTable(*db.table("LAYER"));
}

// Page faults so far: fresh memory is slow to get on some machines, so the
// capture benchmarks report how many pages each run touches for the first time.
long pageFaults() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

void BM_CaptureThroughEditor(benchmark::State& state) {
    const int layers = static_cast<int>(state.range(0));
    DlconfigSession s(layerDrawing(layers));
    freezeSome(s.session->host().db(), layers);
    const std::string script = "dlconfig\n@click 1038\n@click 1044\n@cancel\n@escape\n";
    s.run(script);  // loads the levels and the configuration file once
    const long faults = pageFaults();
    for (auto _ : state)
        if (!s.run(script)) state.SkipWithError(s.transcriptTail.c_str());
    state.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - faults),
                                                  benchmark::Counter::kAvgIterations);
    state.SetComplexityN(layers);
    state.counters["layers"] = layers;
}
BENCHMARK(BM_CaptureThroughEditor)->Arg(10000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same, then OK: the configuration is made from the captured lists
// (and deleted again, so that every run starts alike; the file is saved).
void BM_CaptureAndCommit(benchmark::State& state) {
    const int layers = static_cast<int>(state.range(0));
    DlconfigSession s(layerDrawing(layers));
    freezeSome(s.session->host().db(), layers);
    const std::string script =
        "dlconfig\n@click 1038\n@click 1044\n@click 1\n@select 1036 Untitled\n@click 1040\n@yes\n@escape\n";
    s.run(script);
    const long faults = pageFaults();
    for (auto _ : state)
        if (!s.run(script)) state.SkipWithError(s.transcriptTail.c_str());
    state.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - faults),
                                                  benchmark::Counter::kAvgIterations);
    state.SetComplexityN(layers);
    state.counters["layers"] = layers;
}
// Up to a million layers, so that the fit shows whether the time stays linear.
BENCHMARK(BM_CaptureAndCommit)->Arg(10000)->Arg(100000)->Arg(200000)->Arg(400000)->Arg(1000000)
    ->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_CaptureAfterEdit(benchmark::State& state) {
    const int layers = static_cast<int>(state.range(0));
    const bool rename = state.range(1) != 0;
    DlconfigSession s(layerDrawing(layers));
    freezeSome(s.session->host().db(), layers);
    const std::string script =
        "dlconfig\n@click 1038\n@click 1044\n@click 1\n@select 1036 Untitled\n@click 1040\n@yes\n@escape\n";
    s.run(script);
    host::Database& db = s.session->host().db();
    const std::string name = zan::bench::layerName(kLevels - 1, 0);
    const host::RecordId edited = host::findLayer(db, name);
    const long faults = pageFaults();
    bool renamed = false;
    for (auto _ : state) {
        state.PauseTiming();
        if (rename) {
            renamed = !renamed;
            db.modify(edited, [&](host::Record& r) { r.set(2, renamed ? "Y" + name : name); });
            db.reindexTable(*db.table("LAYER"));
        } else {
            db.modify(edited, [](host::Record&) {});  // stamped as changed
        }
        state.ResumeTiming();
        if (!s.run(script)) state.SkipWithError(s.transcriptTail.c_str());
    }
    state.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - faults),
                                                  benchmark::Counter::kAvgIterations);
    state.SetComplexityN(layers);
    state.counters["layers"] = layers;
}
BENCHMARK(BM_CaptureAfterEdit)->ArgsProduct({{10000, 100000, 200000, 400000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_RestoreThroughDlconfig(benchmark::State& state) {
    const int layers = static_cast<int>(state.range(0));
    std::string stem = layerDrawing(layers);
    DlconfigSession s(stem);
    const std::string script = "dlconfig\n@select 1036 Big\n@click 1043\n@escape\n";
    s.run(script);
    for (auto _ : state)
        if (!s.run(script)) state.SkipWithError(s.transcriptTail.c_str());
    host::Database& db = s.session->host().db();
    if (!host::layerFrozen(db.at(host::findLayer(db, zan::bench::layerName(0, 0)))) ||
        host::layerFrozen(db.at(host::findLayer(db, zan::bench::layerName(1, 0)))))
        state.SkipWithError("the restore left the wrong layers frozen");
    state.SetComplexityN(layers);
    state.counters["layers"] = layers;
}
BENCHMARK(BM_RestoreThroughDlconfig)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same when the drawing changed since the last restore (as after any
// edit of the user's): the plan then reads the whole layer table again.
void BM_RestoreAfterEdit(benchmark::State& state) {
    const int layers = static_cast<int>(state.range(0));
    std::string stem = layerDrawing(layers);
    DlconfigSession s(stem);
    const std::string script = "dlconfig\n@select 1036 Big\n@click 1043\n@escape\n";
    s.run(script);
    host::Database& db = s.session->host().db();
    const host::RecordId edited = host::findLayer(db, zan::bench::layerName(kLevels - 1, 0));
    for (auto _ : state) {
        state.PauseTiming();
        db.modify(edited, [](host::Record&) {});  // stamped as changed
        state.ResumeTiming();
        if (!s.run(script)) state.SkipWithError(s.transcriptTail.c_str());
    }
    state.SetComplexityN(layers);
    state.counters["layers"] = layers;
}
BENCHMARK(BM_RestoreAfterEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_LayerTableWalk(benchmark::State& state) {
    const int layers = static_cast<int>(state.range(0));
    DlconfigSession s(layerDrawing(layers));
    long seen = 0;
    for (auto _ : state) {
        seen = 0;
        for (resbuf* entry = ads_tblnext("LAYER", 1); entry != nullptr; entry = ads_tblnext("LAYER", 0)) {
            ++seen;
            ads_relrb(entry);
        }
    }
    if (seen < layers) state.SkipWithError("layers missing from the walk");
    state.SetComplexityN(layers);
    state.counters["layers"] = layers;
}
BENCHMARK(BM_LayerTableWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_LoadZmb(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    std::string path = benchDir() + "/levels" + std::to_string(lines) + ".Zmb";
    if (!exists(path)) {
        std::ofstream out(path);
        out << "LEVELS\n" << lines << "\n1\n20 20\n\"\"\n";
        char line[96];
        for (int i = 0; i < lines; ++i) {
            std::snprintf(line, sizeof line, "\"\" \"Level %06d\" \"M%06d\" \"Primary\"\n", i, i);
            out << line;
        }
    }
    for (auto _ : state) {
        zan::ModifierFileContent content;
        if (!zan::readModifierFile(path, content)) state.SkipWithError("the file was not read");
        state.PauseTiming();
        if (zan::state().levelList.size() != static_cast<std::size_t>(lines)) state.SkipWithError("levels missing");
        zan::destroyAll(zan::state().levelList);
        state.ResumeTiming();
    }
    state.SetComplexityN(lines);
    state.counters["lines"] = lines;
}
BENCHMARK(BM_LoadZmb)->Arg(15000)->Arg(60000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_OpenRestoreSave(benchmark::State& state) {
    std::string stem = bigDrawing();
    std::string out = stem + ".saved.dxf";
    for (auto _ : state) {
        DlconfigSession s(stem);
        if (!s.run("dlconfig\n@select 1036 Big\n@click 1043\n@escape\n") || !s.session->saveDrawing(out))
            state.SkipWithError(s.transcriptTail.c_str());
    }
    ::unlink(out.c_str());
}
BENCHMARK(BM_OpenRestoreSave)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
