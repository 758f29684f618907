// Throughput of reading a DXF file into the full drawing database and of
// writing it back, on a generated drawing of about 100 MB (20,000 layers,
// lines, polylines, texts and block insertions with extended data).
//
// The drawing is generated once into $ZAN_BENCH_DXF (default
// /tmp/zan_bench_100mb.dxf) when that file does not exist yet.
//   bench_dxf_io                      run the benchmarks
//   bench_dxf_io --generate [PATH]    only write the drawing
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "dxf/dxf.h"

namespace {

std::string benchPath() {
    const char* env = std::getenv("ZAN_BENCH_DXF");
    return env && *env ? env : "/tmp/zan_bench_100mb.dxf";
}

std::size_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
}

std::string coord(std::mt19937& rng) {
    std::uniform_real_distribution<double> d(-5000.0, 5000.0);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", d(rng));
    return buf;
}

void generate(const std::string& path, std::size_t targetBytes) {
    auto db = host::dxf::newDrawing();
    std::mt19937 rng(42);
    const int kLayers = 20000;
    for (int i = 0; i < kLayers; ++i) {
        host::Record layer;
        layer.type = "LAYER";
        char name[32];
        std::snprintf(name, sizeof name, "L%03d-%s", i / 7, (const char*[]){"WALL", "DOOR", "WIND", "TEXT", "POCHE", "FURN", "DIM"}[i % 7]);
        layer.groups = {{100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"}, {2, name}, {70, "0"},
                        {62, std::to_string(1 + i % 255)}, {6, "Continuous"}, {370, "-3"}};
        db->addEntry("LAYER", std::move(layer));
    }
    host::Record begin, end;
    begin.type = "BLOCK";
    begin.groups = {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "door"}, {70, "0"},
                    {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "door"}, {1, ""}};
    end.type = "ENDBLK";
    end.groups = {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}};
    auto& block = db->addBlock("door", db->add(std::move(begin)), db->add(std::move(end)));
    host::Record arc;
    arc.type = "ARC";
    arc.groups = {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbCircle"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
                  {40, "1.0"}, {100, "AcDbArc"}, {50, "0.0"}, {51, "90.0"}};
    db->addBlockEntity(block, std::move(arc));

    // Entities until the text would reach the target size (estimated from
    // the average size of a record, then written once).
    std::size_t estimate = 0;
    std::uniform_int_distribution<int> layerPick(0, kLayers - 1);
    std::uniform_int_distribution<int> kindPick(0, 9);
    while (estimate < targetBytes) {
        host::Record e;
        int i = layerPick(rng);
        char layer[32];
        std::snprintf(layer, sizeof layer, "L%03d-%s", i / 7, (const char*[]){"WALL", "DOOR", "WIND", "TEXT", "POCHE", "FURN", "DIM"}[i % 7]);
        int kind = kindPick(rng);
        if (kind < 6) {
            e.type = "LINE";
            e.groups = {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbLine"}, {10, coord(rng)}, {20, coord(rng)},
                        {30, "0.0"}, {11, coord(rng)}, {21, coord(rng)}, {31, "0.0"}};
        } else if (kind < 8) {
            e.type = "LWPOLYLINE";
            e.groups = {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbPolyline"}, {90, "4"}, {70, "1"}, {43, "0.0"}};
            for (int v = 0; v < 4; ++v) {
                e.groups.emplace_back(10, coord(rng));
                e.groups.emplace_back(20, coord(rng));
            }
        } else if (kind < 9) {
            e.type = "TEXT";
            e.groups = {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbText"}, {10, coord(rng)}, {20, coord(rng)},
                        {30, "0.0"}, {40, "2.5"}, {1, "ROOM " + std::to_string(i)}, {100, "AcDbText"}};
        } else {
            e.type = "INSERT";
            e.groups = {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbBlockReference"}, {2, "door"}, {10, coord(rng)},
                        {20, coord(rng)}, {30, "0.0"}, {50, "90.0"}};
            e.xdata = {{1001, "ACAD"}, {1000, "door tag"}, {1070, "1"}};
        }
        for (const host::Group& g : e.groups) estimate += 8 + g.value.size();
        for (const host::Group& g : e.xdata) estimate += 8 + g.value.size();
        estimate += 24;  // type, handle and owner
        db->addEntity(std::move(e), false);
    }
    host::dxf::writeFile(*db, path);
}

void ensureFile() {
    std::string path = benchPath();
    if (fileSize(path) == 0) generate(path, 100u << 20);
}

// Peak resident memory since the last reset, in bytes (Linux: VmHWM, reset
// by writing 5 to /proc/self/clear_refs).
long long peakResident(bool reset) {
    if (reset) {
        std::ofstream("/proc/self/clear_refs") << "5";
        return 0;
    }
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}

long long resident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}

void BM_ReadDxf(benchmark::State& state) {
    ensureFile();
    std::string path = benchPath();
    std::size_t size = fileSize(path);
    double peakRatio = 0;
    for (auto _ : state) {
        long long before = resident();
        peakResident(true);
        auto db = host::dxf::readFile(path);
        double peak = static_cast<double>(peakResident(false) - before);
        peakRatio = std::max(peakRatio, peak / static_cast<double>(size));
        benchmark::DoNotOptimize(db.get());
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
    state.counters["peak_memory_x_file"] = peakRatio;
}
BENCHMARK(BM_ReadDxf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteDxf(benchmark::State& state) {
    ensureFile();
    std::string path = benchPath();
    auto db = host::dxf::readFile(path);
    host::dxf::prepareForWrite(*db);
    std::string out = path + ".written";
    std::size_t size = 0;
    for (auto _ : state) {
        host::dxf::writeFile(*db, out);
        state.PauseTiming();
        size = fileSize(out);
        state.ResumeTiming();
    }
    ::unlink(out.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_WriteDxf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteDxfToMemory(benchmark::State& state) {
    ensureFile();
    auto db = host::dxf::readFile(benchPath());
    std::size_t size = 0;
    for (auto _ : state) {
        std::string text = host::dxf::writeText(*db);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_WriteDxfToMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--generate") == 0) {
        std::string path = argc >= 3 ? argv[2] : benchPath();
        generate(path, 100u << 20);
        std::printf("%s: %.1f MB\n", path.c_str(), static_cast<double>(fileSize(path)) / 1e6);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
