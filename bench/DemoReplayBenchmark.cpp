#include "tests/support/TemporaryFolder.h"
#include "tools/fenk-demo/DemoPlatform.h"
#include "tools/fenk-demo/DemoRun.h"
#include "tools/fenk-demo/DemoSeed.h"
#include "tools/replay-host/ReplayTrace.h"

#include <benchmark/benchmark.h>

namespace fenk {
namespace {

// The demo's four weeks of a commuter replayed through the whole SDK with the platform on loopback, as
// `./fenk demo` runs them: the terms accepted, two offline spells, 40 hours of refused uploads, every position
// delivered. Reported per replay, with the cost of one fix beside it.
void fourWeeksOfACommuter(benchmark::State& state) {
    const auto fixes = generatedCommuter(4, 1);
    const DemoSeed seed = makeDemoSeed(fixes);
    std::int64_t lost = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const TemporaryFolder folder;
        std::string error;
        const auto platform = startDemoPlatform(folder.path(), seed.seed, error);
        if (!platform) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.ResumeTiming();
        const auto outcome = runDemo({.deviceFolder = folder.path() / "device",
                                      .fixes = fixes,
                                      .description = "four weeks",
                                      .places = seed.places},
                                     *platform, nullptr, error);
        if (!outcome) {
            state.SkipWithError(error.c_str());
            return;
        }
        lost += outcome->facts.figures.positionsLost;
    }
    state.counters["fixes"] = static_cast<double>(fixes.size());
    state.counters["perFix"] = benchmark::Counter(static_cast<double>(fixes.size()),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
    state.counters["positionsLost"] = static_cast<double>(lost);
}

BENCHMARK(fourWeeksOfACommuter)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace fenk
