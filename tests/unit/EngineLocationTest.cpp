#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/location/EngineLocation.h"
#include "support/ConsoleCapture.h"
#include "support/LocationRecorder.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace fenk {
namespace {

using test::fixAt;
using test::pointAt;

class EngineLocationTest : public ::testing::Test {
protected:
    // The positions in the trace of the fixes the session was handed.
    std::vector<std::size_t> deliveredIndices(const std::vector<LocationFix>& trace) const {
        std::vector<std::size_t> indices;
        for (const auto& fix : recorder_.fixes) {
            indices.push_back(static_cast<std::size_t>(std::ranges::find(trace, fix) - trace.begin()));
        }
        return indices;
    }

    void feed(EngineLocation& engine, const std::vector<LocationFix>& trace) {
        for (const auto& fix : trace) engine.ingest(fix);
        dispatcher_.runUntilIdle();
    }

    FakeDispatcher dispatcher_;
    std::shared_ptr<MemorySecureStore> store_ = std::make_shared<MemorySecureStore>();
    EngineLocation engine_{dispatcher_.mainQueue(), store_};
    test::LocationRecorder recorder_;
    std::unique_ptr<LocationSession> session_ = engine_.makeSession(recorder_);
};

TEST_F(EngineLocationTest, ContinuousDeliveryKeepsTheDistanceFilterFromTheLastFixDelivered) {
    const struct {
        double filter;
        std::vector<double> northMeters;
        std::vector<std::size_t> delivered;
    } cases[] = {
        {0, {0, 0, 1}, {0, 1, 2}},
        {-1, {0, 0}, {0, 1}},
        {std::numeric_limits<double>::quiet_NaN(), {0, 0}, {0, 1}},
        {100, {0, 50, 99, 120, 180, 230}, {0, 3, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        std::vector<LocationFix> trace;
        for (std::size_t index = 0; index < c.northMeters.size(); ++index) {
            trace.push_back(fixAt(c.northMeters[index], static_cast<double>(index)));
        }
        recorder_.fixes.clear();
        session_->configure({.distanceFilter = c.filter});
        session_->setDelivery(LocationDelivery::continuous);
        feed(engine_, trace);
        EXPECT_EQ(deliveredIndices(trace), c.delivered);
    }
}

TEST_F(EngineLocationTest, SignificantChangesNeedBothDistanceAndTimeSinceTheLastOne) {
    const std::vector<LocationFix> trace = {
        fixAt(0, 0),      // the first always goes
        fixAt(600, 2),    // far, too soon
        fixAt(100, 10),   // late, too near
        fixAt(600, 10),   // far and late
        fixAt(1150, 14),  // far, too soon after the last one delivered
        fixAt(1150, 15),
    };
    session_->setDelivery(LocationDelivery::significantChanges);
    feed(engine_, trace);
    EXPECT_EQ(deliveredIndices(trace), (std::vector<std::size_t>{0, 3, 5}));

    session_->setDelivery(LocationDelivery::significantChanges);
    feed(engine_, {fixAt(1150, 16)});
    EXPECT_EQ(recorder_.fixes.size(), 4u) << "a fresh start delivers the next fix";
}

TEST_F(EngineLocationTest, RegionsAnnounceCrossingsButNotTheirFirstStateNorBoundaryJitter) {
    struct Step {
        double northMeters;
        double accuracy = 5;
    };
    const struct {
        const char* name;
        bool notifyOnEntry;
        std::vector<Step> steps;
        std::vector<std::string> events;
    } cases[] = {
        {"starts inside", true, {{0}, {10}}, {}},
        {"enters then leaves", true, {{500}, {50}, {130}}, {"enter home", "exit home"}},
        {"jitters on the boundary", true, {{50}, {110}, {90}, {124}, {95}}, {}},
        {"a vague fix is not clearly out", true, {{50}, {180, 100}}, {}},
        {"a vague fix far out", true, {{50}, {201, 100}}, {"exit home"}},
        {"exit only", false, {{500}, {50}, {500}}, {"exit home"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder_.regionEvents.clear();
        session_->startMonitoring({"home", pointAt(0), 100, c.notifyOnEntry, true});
        for (const auto& step : c.steps) engine_.ingest(fixAt(step.northMeters, 0, step.accuracy));
        EXPECT_EQ(recorder_.regionEvents, c.events);
        session_->stopMonitoring("home");
    }
}

TEST_F(EngineLocationTest, RestartingARegionUnchangedKeepsItsStateAndChangingItStartsAfresh) {
    const CircularRegion home{"home", pointAt(0), 100};
    session_->startMonitoring(home);
    engine_.ingest(fixAt(500));
    session_->startMonitoring(home);
    engine_.ingest(fixAt(0));
    session_->startMonitoring({"home", pointAt(0), 400});
    engine_.ingest(fixAt(1000));
    EXPECT_EQ(recorder_.regionEvents, std::vector<std::string>{"enter home"});
}

TEST_F(EngineLocationTest, VisitsArriveAfterTenMinutesInPlaceAndDepartAtTheLastFixThere) {
    const struct {
        const char* name;
        int minutesInPlace;
        double driftMeters;  // one fix a minute, alternately at 0 and here
        std::vector<Visit> visits;
    } cases[] = {
        {"nine minutes", 9, 20, {}},
        {"ten minutes", 10, 20,
         {{pointAt(10), fixAt(0).timestamp, distantFuture()}, {pointAt(10), fixAt(0).timestamp, fixAt(0, 10).timestamp}}},
        {"lingering at the edge is not leaving", 10, 90,
         {{pointAt(0), fixAt(0).timestamp, distantFuture()}, {pointAt(0), fixAt(0).timestamp, fixAt(0, 10).timestamp}}},
        {"stepping clearly out starts over", 10, 110, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineLocation engine(dispatcher_.mainQueue(), store_);
        test::LocationRecorder recorder;
        const auto session = engine.makeSession(recorder);
        session->startMonitoringVisits();
        for (int minute = 0; minute <= c.minutesInPlace; ++minute) {
            engine.ingest(fixAt(minute % 2 == 0 ? 0 : c.driftMeters, minute));
        }
        engine.ingest(fixAt(2000, c.minutesInPlace + 1));
        ASSERT_EQ(recorder.visits.size(), c.visits.size());
        for (std::size_t index = 0; index < c.visits.size(); ++index) {
            EXPECT_NEAR(distanceMeters(recorder.visits[index].coordinate, c.visits[index].coordinate), 0, 2);
            EXPECT_EQ(recorder.visits[index].arrivalDate, c.visits[index].arrivalDate);
            EXPECT_EQ(recorder.visits[index].departureDate, c.visits[index].departureDate);
        }
    }
}

TEST_F(EngineLocationTest, RegionsOutliveTheEngineAndOnlyLearnTheirStateAfterARestart) {
    session_->startMonitoring({"home", pointAt(0), 100});
    session_->startMonitoring({"office", pointAt(3000), 100, true, false});

    EngineLocation restarted(dispatcher_.mainQueue(), store_);
    test::LocationRecorder recorder;
    const auto session = restarted.makeSession(recorder);
    EXPECT_EQ(session->monitoredRegions(), session_->monitoredRegions());
    restarted.ingest(fixAt(0));
    restarted.ingest(fixAt(3000));
    EXPECT_EQ(recorder.regionEvents, (std::vector<std::string>{"exit home", "enter office"}));
}

TEST_F(EngineLocationTest, BadStoredRegionsStartEmptyOrLoseOnlyTheBadEntry) {
    const std::string good = R"({"identifier":"ok","latitude":1,"longitude":2,"radius":50,"notifyOnEntry":true,"notifyOnExit":true})";
    const struct {
        std::string stored;
        std::vector<std::string> kept;
    } cases[] = {
        {"not json", {}},
        {"{}", {}},
        {R"([{"identifier":"x"}])", {}},
        {"[" + good + R"(,{"identifier":"far","latitude":91,"longitude":2,"radius":50,"notifyOnEntry":true,"notifyOnExit":true}])",
         {"ok"}},
        {R"([{"identifier":"neg","latitude":1,"longitude":2,"radius":-5,"notifyOnEntry":true,"notifyOnExit":true}])", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ConsoleCapture console;
        ASSERT_TRUE(store_->save("monitoredRegions", toData(c.stored)));
        EngineLocation engine(dispatcher_.mainQueue(), store_);
        test::LocationRecorder recorder;
        const auto session = engine.makeSession(recorder);
        std::vector<std::string> kept;
        for (const auto& region : session->monitoredRegions()) kept.push_back(region.identifier);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(console.lines().size(), 1u);
    }
}

TEST_F(EngineLocationTest, UnmonitorableRegionsFailAndAreNotKept) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const CircularRegion& region : {CircularRegion{"nan", {nan, 0}, 10}, CircularRegion{"radius", pointAt(0), nan},
                                         CircularRegion{"\xFF", pointAt(0), 10}}) {
        session_->startMonitoring(region);
    }
    dispatcher_.runUntilIdle();
    EXPECT_EQ(recorder_.failures, (std::vector<std::string>{"nan", "radius", "\xFF"}));
    EXPECT_TRUE(session_->monitoredRegions().empty());
    EXPECT_FALSE(store_->contains("monitoredRegions"));
}

TEST_F(EngineLocationTest, OnlyAuthorizedEnginesDeliverAndOnlyFixesWithAValidCoordinate) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    LocationFix vagueFix = fixAt(0);
    vagueFix.speed = nan;
    LocationFix noCoordinate = fixAt(0);
    noCoordinate.coordinate.latitude = nan;
    const struct {
        LocationAuthorizationStatus status;
        LocationFix fix;
        bool delivered;
    } cases[] = {
        {LocationAuthorizationStatus::authorizedAlways, vagueFix, true},
        {LocationAuthorizationStatus::authorizedWhenInUse, fixAt(0), true},
        {LocationAuthorizationStatus::authorizedAlways, noCoordinate, false},
        {LocationAuthorizationStatus::authorizedAlways, {kLocationCoordinate2DInvalid}, false},
        {LocationAuthorizationStatus::denied, fixAt(0), false},
        {LocationAuthorizationStatus::notDetermined, fixAt(0), false},
    };
    for (const auto& c : cases) {
        EngineLocation engine(dispatcher_.mainQueue(), store_, c.status);
        test::LocationRecorder recorder;
        const auto session = engine.makeSession(recorder);
        session->setDelivery(LocationDelivery::continuous);
        engine.ingest(c.fix);
        EXPECT_EQ(recorder.fixes.size(), c.delivered ? 1u : 0u) << static_cast<int>(c.status);
        if (c.delivered) {
            EXPECT_EQ(std::isnan(recorder.fixes.front().speed), std::isnan(c.fix.speed));
        }
    }
}

// A delegate may end its own session, start another or change the regions while it is being called.
TEST_F(EngineLocationTest, CallbacksMayDestroySessionsAndChangeRegions) {
    test::LocationRecorder later;
    std::unique_ptr<LocationSession> laterSession;
    session_->setDelivery(LocationDelivery::continuous);
    session_->startMonitoring({"home", pointAt(0), 100});
    recorder_.afterFix = [&] {
        session_->stopMonitoring("home");
        session_->startMonitoring({"office", pointAt(3000), 100});
        session_.reset();
        laterSession = engine_.makeSession(later);
        laterSession->setDelivery(LocationDelivery::continuous);
    };
    test::LocationRecorder other;
    const auto otherSession = engine_.makeSession(other);
    otherSession->setDelivery(LocationDelivery::continuous);

    engine_.ingest(fixAt(500));
    engine_.ingest(fixAt(0));
    EXPECT_EQ(recorder_.fixes.size(), 1u);
    EXPECT_EQ(other.fixes.size(), 2u);
    EXPECT_EQ(later.fixes.size(), 1u);
    EXPECT_EQ(otherSession->monitoredRegions().size(), 1u);
}

}  // namespace
}  // namespace fenk
