// Throughput of reading a DXF file into the full drawing database (with the
// peak memory it takes, as a multiple of the file's size) and of writing it
// back, on generated drawings. Reading uses a second thread, so its rate is
// taken from the time the caller waits (wall clock), and its CPU time is the
// whole process's. The files are made on first use in
// $ZAN_BENCH_DIR (default /tmp/zan_bench); bench_make_drawing makes the same.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "drawing/big_drawing.h"
#include "dxf/dxf.h"

namespace {

// The drawings: "big" is the 83 MB drawing of the speed figures (2,000
// levels of 25 layers, about 475,000 entities, 20 layouts with 81
// viewports); "20mb" and "5mb" are smaller ones of the same kind (480 and
// 120 levels); "layers" holds 65,000 layers and nothing else.
struct Drawing {
    const char* name;
    zan::bench::DrawingOptions options;
};
const Drawing kDrawings[] = {
    {"big", {83, 2000, 25, false}},
    {"20mb", {20, 480, 25, false}},
    {"5mb", {5, 120, 25, false}},
    {"layers", {0, 2600, 25, true}},
};

std::string benchDir() {
    const char* env = std::getenv("ZAN_BENCH_DIR");
    std::string dir = env && *env ? env : "/tmp/zan_bench";
    ::mkdir(dir.c_str(), 0755);
    return dir;
}

std::size_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
}

// The drawing's file, made on first use.
std::string drawingPath(std::size_t which) {
    const Drawing& d = kDrawings[which];
    std::string path = benchDir() + "/" + d.name + ".dxf";
    if (fileSize(path) == 0) zan::bench::writeDrawing(d.options, path);
    return path;
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
    std::string path = drawingPath(static_cast<std::size_t>(state.range(0)));
    std::size_t size = fileSize(path);
    double peakRatio = 0;
    for (auto _ : state) {
        // Memory freed by earlier runs goes back to the system first, so
        // that what this read takes shows as growth.
        ::malloc_trim(0);
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
    state.SetLabel(kDrawings[state.range(0)].name);
}
BENCHMARK(BM_ReadDxf)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();

void BM_WriteDxf(benchmark::State& state) {
    std::string path = drawingPath(0);
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

// The check before a save (what a drawing read from a file needs to be
// written: here nothing, but every entity is looked at).
void BM_PrepareForWrite(benchmark::State& state) {
    auto db = host::dxf::readFile(drawingPath(0));
    for (auto _ : state) host::dxf::prepareForWrite(*db);
}
BENCHMARK(BM_PrepareForWrite)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WriteDxfToMemory(benchmark::State& state) {
    auto db = host::dxf::readFile(drawingPath(0));
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
