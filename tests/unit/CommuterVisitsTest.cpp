// The engine against a generated life: every stay the generator put in a commuter's three weeks comes out as a
// visit, and nothing else does.
#include "FenkSDK/places/GreatCircle.h"
#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/location/CommuterTrace.h"
#include "adapters/location/EngineLocation.h"
#include "adapters/location/TraceReplay.h"
#include "support/LocationRecorder.h"

#include <gtest/gtest.h>

#include <chrono>

namespace fenk {
namespace {

using namespace std::chrono_literals;

TEST(CommuterVisits, EveryStayOfThreeWeeksBecomesOneVisit) {
    const CommuterTrace trace = generateCommuterTrace(
        {.weeks = 3, .seed = 7, .start = timestampFromSystemTime(FakeDispatcher::kStart), .utcOffset = 60min});
    ASSERT_FALSE(trace.fixes.empty());
    const auto dispatcher = std::make_shared<FakeDispatcher>(*systemTimeFromTimestamp(trace.fixes.front().timestamp));
    const auto engine = std::make_shared<EngineLocation>(dispatcher->mainQueue(), std::make_shared<MemorySecureStore>());
    test::LocationRecorder recorder;
    const auto session = engine->makeSession(recorder);
    session->startMonitoringVisits();
    TraceReplay replay(engine, dispatcher, trace.fixes);
    replay.start();
    while (!replay.finished()) dispatcher->advance(24h);

    // A visit is announced on arrival (still open) and again on departure.
    std::vector<Visit> arrivals;
    std::vector<Visit> departures;
    for (const Visit& visit : recorder.visits) {
        (visit.departureDate == distantFuture() ? arrivals : departures).push_back(visit);
    }
    ASSERT_EQ(arrivals.size(), trace.stays.size());
    // The trace ends during the last stay, which has not been left yet.
    ASSERT_EQ(departures.size(), trace.stays.size() - 1);

    const auto near = [](Timestamp seen, Timestamp truth) { return seen - truth < 2min && truth - seen < 2min; };
    for (std::size_t index = 0; index < trace.stays.size(); ++index) {
        const Stay& stay = trace.stays[index];
        SCOPED_TRACE("stay " + std::to_string(index));
        EXPECT_TRUE(near(arrivals[index].arrivalDate, stay.arrival));
        EXPECT_LT(distanceMeters(arrivals[index].coordinate, stay.centre), 30);
        if (index < departures.size()) {
            EXPECT_TRUE(near(departures[index].arrivalDate, stay.arrival));
            EXPECT_TRUE(near(departures[index].departureDate, stay.departure));
        }
    }
}

}  // namespace
}  // namespace fenk
