#include <benchmark/benchmark.h>

#include <string>

#include "FenkSDK/registration/PlatformAddress.h"

namespace {

void typicalAddress(benchmark::State& state) {
    const std::string address = "https://platform.example.com/api";
    for (auto _ : state) benchmark::DoNotOptimize(fenk::isValidPlatformAddress(address));
}
BENCHMARK(typicalAddress);

// An address that fails only at its last character: the matching must stay linear in its length.
void nearMiss(benchmark::State& state) {
    const std::string address = "http://" + std::string(static_cast<std::size_t>(state.range(0)), 'a') + "!";
    for (auto _ : state) benchmark::DoNotOptimize(fenk::isValidPlatformAddress(address));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(nearMiss)->RangeMultiplier(4)->Range(64, 16'384)->Complexity(benchmark::oN);

}  // namespace
