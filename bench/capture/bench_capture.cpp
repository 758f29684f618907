// The capture analysis (CAPTURE GLOBAL) on 100,000 layers and 1,000 levels,
// with the adding rules of the editor's four lists, as the editor runs it
// between reading the layer table and showing the lists. Each level has 90
// layers of its own and 10 attached from a reference ("REF|M0001-R07");
// levels freeze none, a few, about half, most or all of their layers, so
// every branch of the analysis is taken; 1,000 layers belong to no level.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "laycfg/capture.h"
#include "levels/level.h"

namespace {

constexpr int kLevels = 1000;
constexpr int kLayersPerLevel = 99;  // 99,000 level layers + 1,000 others

struct Lists : zan::CaptureSink {
    zan::RuleLists rules;
    void includeLevel(zan::Level& l) override { rules.add(zan::RuleLists::ModifiersIncluded, l.name, &l); }
    void excludeLevel(zan::Level& l) override { rules.add(zan::RuleLists::ModifiersExcluded, l.name, &l); }
    void includeLayer(std::string_view n) override { rules.add(zan::RuleLists::LayersIncluded, n); }
    void excludeLayer(std::string_view n) override { rules.add(zan::RuleLists::LayersExcluded, n); }
};

struct Drawing {
    zan::LevelList levels;
    std::vector<std::string> frozen, thawed;

    Drawing() {
        char name[64];
        for (int l = 0; l < kLevels; ++l) {
            auto level = std::make_unique<zan::Level>();
            std::snprintf(name, sizeof name, "Level %04d", l);
            level->name = name;
            std::snprintf(name, sizeof name, "M%04d", l);
            level->modifier = name;
            levels.push_back(std::move(level));
        }
        // Frozen share per level: 0, 1/3, 1/2, 3/4, all.
        const int frozenOf[5] = {0, 33, 50, 75, 99};
        for (int l = 0; l < kLevels; ++l) {
            for (int r = 0; r < kLayersPerLevel; ++r) {
                if (r % 10 == 9)
                    std::snprintf(name, sizeof name, "REF|M%04d-R%02d", l, r);
                else
                    std::snprintf(name, sizeof name, "M%04d-R%02d", l, r);
                (r < frozenOf[l % 5] ? frozen : thawed).emplace_back(name);
            }
        }
        for (int i = 0; i < 1000; ++i) {
            std::snprintf(name, sizeof name, "OTHER%04d", i);
            (i % 2 ? frozen : thawed).emplace_back(name);
        }
    }
};

void BM_CaptureAnalysis(benchmark::State& state) {
    static const Drawing drawing;
    std::size_t lines = 0;
    for (auto _ : state) {
        Lists lists;
        zan::analyseCapture(drawing.frozen, drawing.thawed, drawing.levels, '-', lists);
        lines = lists.rules.lines(zan::RuleLists::LayersIncluded).size() +
                lists.rules.lines(zan::RuleLists::LayersExcluded).size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["layers"] = static_cast<double>(drawing.frozen.size() + drawing.thawed.size());
    state.counters["levels"] = kLevels;
    state.counters["layer_lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_CaptureAnalysis)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
