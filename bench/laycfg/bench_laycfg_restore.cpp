// A configuration of 1,000 level rules (500 levels frozen, 500 thawed, every
// other layer frozen first) restored to model space on drawings of 10,000 to
// 100,000 layers: 1,000 levels with the same number of layers each, a tenth
// of them attached from a reference ("REF|M0001-R07"); and the restore's plan
// alone, as the preview computes it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "db/layers.h"
#include "laycfg/restore.h"
#include "laycfg/restore_plan.h"
#include "levels/levels.h"
#include "session/session.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace {

constexpr int kLevels = 1000;

struct Fixture {
    std::unique_ptr<zan::app::Session> session;
    zan::LayerConfiguration configuration;

    explicit Fixture(int layers) {
        zan::app::SessionOptions options;
        session = std::make_unique<zan::app::Session>(options, [](std::string_view) {});
        session->newDrawing();
        zan::onInitApplication(nullptr);
        zan::ShellState& s = zan::state();
        s.cmdEchoOff.restype = RTSHORT;
        s.cmdEchoOff.resval.rint = 0;
        s.cmdEchoOn.restype = RTSHORT;
        s.cmdEchoOn.resval.rint = 1;
        s.modifierSeparator = '-';
        char name[64];
        for (int i = 0; i < kLevels; ++i) {
            auto level = std::make_unique<zan::Level>();
            std::snprintf(name, sizeof name, "M%04d", i);
            level->name = name;
            zan::setModifier(*level, name);
            s.levelList.push_back(std::move(level));
            if (i % 2) configuration.addIncludedModifier(s.levelList.back().get());
            else configuration.addExcludedModifier(s.levelList.back().get());
        }
        configuration.undefinedLayerOption = zan::LayerConfiguration::Freeze;
        host::Database& db = session->host().db();
        int perLevel = layers / kLevels;
        for (int i = 0; i < kLevels; ++i)
            for (int r = 0; r < perLevel; ++r) {
                std::snprintf(name, sizeof name, r % 10 == 9 ? "REF|M%04d-R%02d" : "M%04d-R%02d", i, r);
                host::ensureLayer(db, name);
            }
    }
    ~Fixture() {
        zan::destroyAll(zan::state().levelList);
        zan::onUnloadApplication();
    }
};

void BM_RestoreToModelSpace(benchmark::State& st) {
    Fixture f(static_cast<int>(st.range(0)));
    for (auto _ : st) zan::restoreToModelSpace(f.configuration);
    // Check once that the drawing holds what the configuration says.
    host::Database& db = f.session->host().db();
    if (!host::layerFrozen(db.at(host::findLayer(db, "M0000-R00"))) ||
        host::layerFrozen(db.at(host::findLayer(db, "REF|M0001-R09"))))
        st.SkipWithError("the restore left the wrong layers frozen");
    st.SetComplexityN(st.range(0));
    st.counters["layers"] = static_cast<double>(st.range(0));
}

// The plan alone (what the preview shows): one read of the layer table and
// the configuration's patterns matched against it, nothing sent.
void BM_PlanModelSpace(benchmark::State& st) {
    Fixture f(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        zan::RestorePlan plan = zan::planModelSpace(f.configuration);
        benchmark::DoNotOptimize(plan.freezes.data());
    }
    st.SetComplexityN(st.range(0));
    st.counters["layers"] = static_cast<double>(st.range(0));
}

}  // namespace

BENCHMARK(BM_PlanModelSpace)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoreToModelSpace)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK_MAIN();
