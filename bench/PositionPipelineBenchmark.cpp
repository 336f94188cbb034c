#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/ports/Application.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/linux/SqliteRecordQueue.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TraceFixes.h"

#include <benchmark/benchmark.h>

namespace fenk {
namespace {

// One fix handled end to end without network: the stay analysis, the decision, the history write and the
// durable queue appends, on the real settings database. Every fix lands in a new cell, the costliest case:
// the previous entry is closed and queued, the new one fenced, queued and stored. Offline, so the queue grows.
void fixInANewCellOffline(benchmark::State& state) {
    const TemporaryFolder folder;
    FakeEnvironment fakes;
    fakes.reachability->report(ReachabilityFlags{});
    const auto settings = folder.path() / "settings.sqlite3";
    Environment environment = fakes.environment();
    environment.preferences = std::make_shared<SqlitePreferences>(settings);
    environment.secureStore = std::make_shared<FileSecureStore>(folder.path() / "secure");
    environment.uploadQueue = std::make_shared<SqliteRecordQueue>(settings);
    environment.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
    Environment::install(environment);
    const auto manager = FenkManager::sharedManager();
    fakes.dispatcher->runUntilIdle();

    double north = 0;
    double minutes = 0;
    for (auto _ : state) {
        north += 400;
        minutes += 5;
        fakes.notificationCenter->post(kPositionReceived,
                                       std::make_shared<StoredLocation>(*StoredLocation::fromFix(test::fixAt(north, minutes))));
        fakes.dispatcher->runUntilIdle();
    }
    state.counters["queued"] = static_cast<double>(manager->positionUploader()->waiting());
    FenkManager::resetSharedManager();
}

BENCHMARK(fixInANewCellOffline)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fenk
