#include "adapters/linux/SqlitePreferences.h"
#include "tests/support/TemporaryFolder.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace fenk {
namespace {

// One committed write of a 1 KB value, as the position buffer makes after every fix. The payload changes on
// every iteration because SQLite would not rewrite identical content.
void committedWriteOf1KB(benchmark::State& state) {
    const TemporaryFolder folder;
    SqlitePreferences store(folder.path() / "settings.sqlite3");
    Data payload(1024, 0x5a);
    std::uint64_t generation = 0;
    for (auto _ : state) {
        ++generation;
        std::memcpy(payload.data(), &generation, sizeof generation);
        if (!store.setData("FENK_STORED_POSITIONS", payload)) {
            state.SkipWithError("write failed");
            break;
        }
    }
}

BENCHMARK(committedWriteOf1KB)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fenk
