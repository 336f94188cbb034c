#include "adapters/linux/SqliteRecordQueue.h"
#include "tests/support/TemporaryFolder.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace fenk {
namespace {

constexpr std::size_t kRecordSize = 300;

// One committed append of one position record, as the SDK makes after every fix.
void appendOf300ByteRecord(benchmark::State& state) {
    const TemporaryFolder folder;
    SqliteRecordQueue queue(folder.path() / "settings.sqlite3");
    Data record(kRecordSize, 0x5a);
    std::uint64_t sequence = 0;
    for (auto _ : state) {
        ++sequence;
        std::memcpy(record.data(), &sequence, sizeof sequence);
        if (!queue.append({record}, SystemTime{})) {
            state.SkipWithError("append failed");
            break;
        }
    }
}

// Reading the two oldest entries and removing the first, as an upload that delivered one does. The queue is
// refilled, outside the timing, whenever it runs dry.
void oldestTwoThenRemove(benchmark::State& state) {
    constexpr std::size_t kRefill = 10'000;
    const TemporaryFolder folder;
    SqliteRecordQueue queue(folder.path() / "settings.sqlite3");
    const std::vector<Data> refill(kRefill, Data(kRecordSize, 0x5a));
    std::size_t queued = 0;
    for (auto _ : state) {
        if (queued < 2) {
            state.PauseTiming();
            queue.append(refill, SystemTime{});
            queued += kRefill;
            state.ResumeTiming();
        }
        const auto entries = queue.oldest(2);
        if (entries.size() != 2 || !queue.remove(entries.front().id)) {
            state.SkipWithError("reading or removing failed");
            break;
        }
        --queued;
    }
}

BENCHMARK(appendOf300ByteRecord)->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(oldestTwoThenRemove)->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fenk
