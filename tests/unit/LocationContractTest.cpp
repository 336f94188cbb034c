#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/fake/ScriptedLocation.h"
#include "adapters/location/EngineLocation.h"
#include "adapters/location/TraceReplay.h"
#include "contract/LocationContract.h"

namespace fenk::contract {
namespace {

// The device moves when the test scripts a delivery.
struct ScriptedLocationDriver {
    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    ScriptedLocation scripted{dispatcher->mainQueue()};

    Location& location() { return scripted; }
    void moveTo(LocationFix fix) { scripted.deliverFixes({fix}); }
    std::unique_ptr<Location> reopen() { return nullptr; }
};

// The device moves when a replayed trace brings the engine a fix, dated now.
struct TraceReplayDriver {
    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    std::shared_ptr<MemorySecureStore> store = std::make_shared<MemorySecureStore>();
    std::shared_ptr<EngineLocation> engine = std::make_shared<EngineLocation>(dispatcher->mainQueue(), store);
    std::vector<std::unique_ptr<TraceReplay>> replays;

    Location& location() { return *engine; }
    void moveTo(LocationFix fix) {
        fix.timestamp = timestampFromSystemTime(dispatcher->now());
        replays.push_back(std::make_unique<TraceReplay>(engine, dispatcher, std::vector{fix}));
        replays.back()->start();
    }
    std::unique_ptr<Location> reopen() { return std::make_unique<EngineLocation>(dispatcher->mainQueue(), store); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Scripted, LocationContract, ScriptedLocationDriver);
INSTANTIATE_TYPED_TEST_SUITE_P(Engine, LocationContract, TraceReplayDriver);

}  // namespace fenk::contract
