#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/location/EngineLocation.h"
#include "tests/support/TraceFixes.h"

// Every allocation of the program is counted, so the benchmark can show what one fix costs in allocations.
namespace {
std::atomic<long> allocations{0};
}  // namespace

// Out of line, so the compiler does not pair the malloc inside with the delete of some caller.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

constexpr std::size_t kFixCount = 4096;  // a power of two, so the index wraps with a mask
constexpr int kRegionRows = 4;
constexpr int kRegionColumns = 5;
constexpr double kRegionSpacingMeters = 400;

// A walk about the town where the regions lie, in and out of them, so that every rule does real work.
std::vector<fenk::LocationFix> townWalk() {
    std::mt19937_64 generator(7);
    std::normal_distribution<double> step(0, 30);
    std::vector<fenk::LocationFix> fixes;
    double north = 0;
    double east = 0;
    for (std::size_t index = 0; index < kFixCount; ++index) {
        north = std::clamp(north + step(generator), -100.0, kRegionRows * kRegionSpacingMeters);
        east = std::clamp(east + step(generator), -100.0, kRegionColumns * kRegionSpacingMeters);
        fenk::LocationFix fix = fenk::test::fixAt(0, static_cast<double>(index), 10);
        fix.coordinate = fenk::test::pointAt(north, east);
        fixes.push_back(fix);
    }
    return fixes;
}

void ingestOneFix(benchmark::State& state) {
    fenk::FakeDispatcher dispatcher;
    fenk::EngineLocation engine(dispatcher.mainQueue(), std::make_shared<fenk::MemorySecureStore>());
    fenk::LocationDelegate delegate;
    const auto session = engine.makeSession(delegate);
    session->configure({.distanceFilter = 100});
    session->setDelivery(fenk::LocationDelivery::continuous);
    session->startMonitoringVisits();
    for (int row = 0; row < kRegionRows; ++row) {
        for (int column = 0; column < kRegionColumns; ++column) {
            session->startMonitoring({"region" + std::to_string(row) + "." + std::to_string(column),
                                      fenk::test::pointAt(row * kRegionSpacingMeters, column * kRegionSpacingMeters),
                                      100});
        }
    }
    const std::vector<fenk::LocationFix> fixes = townWalk();
    fenk::LocationFix fix = fixes.front();
    std::size_t next = 0;
    const long allocationsBefore = allocations.load();
    for (auto _ : state) {
        const fenk::LocationFix& walked = fixes[next++ & (kFixCount - 1)];
        fix.coordinate = walked.coordinate;
        fix.timestamp += std::chrono::seconds(15);
        engine.ingest(fix);
    }
    state.counters["allocations/fix"] = benchmark::Counter(static_cast<double>(allocations.load() - allocationsBefore),
                                                           benchmark::Counter::kAvgIterations);
}
BENCHMARK(ingestOneFix);

}  // namespace
