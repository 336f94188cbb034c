#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "FenkSDK/places/FenkGeohash.h"

namespace {

constexpr size_t kSampleCount = 4096;  // a power of two, so the index wraps with a mask
constexpr int kPositionHashLength = 7;

// Spread over the whole world so that no branch of the codec is learnt from a single cell.
std::vector<fenk::LocationCoordinate2D> sampleCoordinates() {
    std::mt19937_64 generator(42);
    std::uniform_real_distribution<double> latitude(-90.0, 90.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::vector<fenk::LocationCoordinate2D> coordinates(kSampleCount);
    for (fenk::LocationCoordinate2D& coordinate : coordinates) {
        coordinate = {latitude(generator), longitude(generator)};
    }
    return coordinates;
}

void encodeSevenCharacters(benchmark::State& state) {
    const std::vector<fenk::LocationCoordinate2D> coordinates = sampleCoordinates();
    size_t next = 0;
    for (auto _ : state) {
        const fenk::LocationCoordinate2D& coordinate = coordinates[next++ & (kSampleCount - 1)];
        std::string hash = fenk::FenkGeohash::encode(coordinate.latitude, coordinate.longitude, kPositionHashLength);
        benchmark::DoNotOptimize(hash);
    }
}
BENCHMARK(encodeSevenCharacters);

void decodeSevenCharacters(benchmark::State& state) {
    std::vector<std::string> hashes;
    for (const fenk::LocationCoordinate2D& coordinate : sampleCoordinates()) {
        hashes.push_back(fenk::fenkGeohash(coordinate, kPositionHashLength));
    }
    size_t next = 0;
    for (auto _ : state) {
        auto box = fenk::FenkGeohash::decode(hashes[next++ & (kSampleCount - 1)]);
        benchmark::DoNotOptimize(box);
    }
}
BENCHMARK(decodeSevenCharacters);

}  // namespace
