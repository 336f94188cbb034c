#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/location/EngineLocation.h"
#include "support/ConsoleCapture.h"
#include "support/LocationRecorder.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace fenk {
namespace {

using test::fixAt;
using test::kNaN;
using test::pointAt;

struct Step {
    double northMeters;
    double minute = 0;
    double accuracy = 5;
};

class EngineLocationTest : public ::testing::Test {
protected:
    void walk(const std::vector<Step>& steps) {
        for (const auto& step : steps) engine_.ingest(fixAt(step.northMeters, step.minute, step.accuracy));
    }

    FakeDispatcher dispatcher_;
    std::shared_ptr<MemorySecureStore> store_ = std::make_shared<MemorySecureStore>();
    EngineLocation engine_{dispatcher_.mainQueue(), store_};
    test::LocationRecorder recorder_;
    std::unique_ptr<LocationSession> session_ = engine_.makeSession(recorder_);
};

// One session through every row: each switch-on delivers its first fix whatever came before.
TEST_F(EngineLocationTest, EachDeliveryModeLetsThroughTheFixesItShould) {
    const struct {
        LocationDelivery delivery;
        double filter;
        std::vector<Step> steps;
        std::vector<long> deliveredMinutes;
    } cases[] = {
        {LocationDelivery::continuous, 0, {{0, 0}, {0, 1}, {1, 2}}, {0, 1, 2}},
        {LocationDelivery::continuous, -1, {{0, 0}, {0, 1}}, {0, 1}},
        {LocationDelivery::continuous, kNaN, {{0, 0}, {0, 1}}, {0, 1}},
        // Measured from the last fix delivered, not the last one seen.
        {LocationDelivery::continuous, 100, {{0, 0}, {50, 1}, {99, 2}, {120, 3}, {180, 4}, {230, 5}}, {0, 3, 5}},
        // Far but too soon, late but too near, then far and late, from the last change delivered.
        {LocationDelivery::significantChanges, 0, {{0, 0}, {600, 2}, {100, 9}, {600, 10}, {1150, 14}, {1150, 15}},
         {0, 10, 15}},
        {LocationDelivery::off, 0, {{0, 0}, {5000, 60}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        recorder_.fixes.clear();
        session_->configure({.distanceFilter = c.filter});
        session_->setDelivery(c.delivery);
        walk(c.steps);
        std::vector<long> minutes;
        for (const auto& fix : recorder_.fixes) minutes.push_back(test::minuteOf(fix));
        EXPECT_EQ(minutes, c.deliveredMinutes);
    }
}

TEST_F(EngineLocationTest, RegionsAnnounceCrossingsButNotTheirFirstStateNorBoundaryJitter) {
    const struct {
        const char* name;
        bool notifyOnEntry;
        std::vector<Step> steps;
        std::vector<std::string> events;
    } cases[] = {
        {"starts inside", true, {{0}, {10}}, {}},
        {"enters then leaves", true, {{500}, {50}, {130}}, {"enter home", "exit home"}},
        {"jitters on the boundary", true, {{50}, {110}, {90}, {124}, {95}}, {}},
        {"a vague fix is not clearly out", true, {{50}, {180, 0, 100}}, {}},
        {"a vague fix far out", true, {{50}, {201, 0, 100}}, {"exit home"}},
        {"exit only", false, {{500}, {50}, {500}}, {"exit home"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder_.events.clear();
        session_->startMonitoring({"home", pointAt(0), 100, c.notifyOnEntry, true});
        walk(c.steps);
        EXPECT_EQ(recorder_.events, c.events);
    }
}

TEST_F(EngineLocationTest, VisitsArriveAfterTenMinutesInPlaceAndDepartAtTheLastFixThere) {
    const Timestamp start = fixAt(0).timestamp;
    // One fix a minute, alternately at 0 and 20 m north, for the given minutes.
    const auto dwell = [](int minutes, double firstMinute = 0) {
        std::vector<Step> steps;
        for (int minute = 0; minute <= minutes; ++minute) steps.push_back({minute % 2 == 0 ? 0 : 20.0, firstMinute + minute});
        return steps;
    };
    const auto then = [](std::vector<Step> steps, const std::vector<Step>& more) {
        steps.insert(steps.end(), more.begin(), more.end());
        return steps;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;  // then two fixes far away
        std::vector<Visit> visits;
    } cases[] = {
        {"nine minutes", dwell(9), {}},
        {"ten minutes", dwell(10), {{pointAt(10), start, distantFuture()}, {pointAt(10), start, fixAt(0, 10).timestamp}}},
        {"lingering at the edge is not leaving", then(dwell(10), {{90, 11}, {0, 12}, {90, 13}}),
         {{pointAt(10), start, distantFuture()}, {pointAt(10), start, fixAt(0, 12).timestamp}}},
        {"arriving is timed from the first fix in place, not from the last one on the way",
         then({{-90, -1}}, dwell(10)), {{pointAt(10), start, distantFuture()}, {pointAt(10), start, fixAt(0, 10).timestamp}}},
        {"stepping clearly out starts over", then(dwell(5), {{110, 6}, {0, 7}, {110, 8}, {0, 9}, {0, 10}}), {}},
    };
    session_->startMonitoringVisits();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder_.visits.clear();
        walk(c.steps);
        const double last = c.steps.back().minute;
        walk({{2000, last + 1}, {-2000, last + 2}});
        ASSERT_EQ(recorder_.visits.size(), c.visits.size());
        for (std::size_t index = 0; index < c.visits.size(); ++index) {
            const Visit& visit = recorder_.visits[index];
            EXPECT_NEAR(distanceMeters(visit.coordinate, c.visits[index].coordinate), 0, 2);
            EXPECT_EQ(visit.arrivalDate, c.visits[index].arrivalDate);
            EXPECT_EQ(visit.departureDate, c.visits[index].departureDate);
        }
    }
}

TEST_F(EngineLocationTest, RegionsOutliveTheEngineAndOnlyLearnTheirStateAfterARestart) {
    session_->startMonitoring({"home", pointAt(0), 100});
    session_->startMonitoring({"office", pointAt(3000), 100, true, false});
    session_->startMonitoring({"nan", {kNaN, 0}, 10});
    session_->startMonitoring({"\xFF", pointAt(0), 10});
    dispatcher_.runUntilIdle();
    EXPECT_EQ(recorder_.events, (std::vector<std::string>{"fail nan", "fail \xFF"}));

    EngineLocation restarted(dispatcher_.mainQueue(), store_);
    test::LocationRecorder recorder;
    const auto session = restarted.makeSession(recorder);
    EXPECT_EQ(session->monitoredRegions(), session_->monitoredRegions());
    restarted.ingest(fixAt(0));
    restarted.ingest(fixAt(3000));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"exit home", "enter office"}));
}

TEST_F(EngineLocationTest, BadStoredRegionsStartEmptyOrLoseOnlyTheBadEntry) {
    const std::string fields = R"("longitude":2,"radius":50,"notifyOnEntry":true,"notifyOnExit":true})";
    const struct {
        std::string stored;
        std::vector<CircularRegion> kept;
    } cases[] = {
        {"not json", {}},
        {R"([{"identifier":"x"}])", {}},
        {R"([{"identifier":"ok","latitude":1,)" + fields + R"(,{"identifier":"far","latitude":91,)" + fields + "]",
         {{"ok", {1, 2}, 50}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ConsoleCapture console;
        ASSERT_TRUE(store_->save("monitoredRegions", toData(c.stored)));
        EngineLocation engine(dispatcher_.mainQueue(), store_);
        test::LocationRecorder recorder;
        EXPECT_EQ(engine.makeSession(recorder)->monitoredRegions(), c.kept);
        EXPECT_EQ(console.lines().size(), 1u);
    }
}

TEST_F(EngineLocationTest, OnlyAnAuthorizedEngineDeliversAndOnlyFixesWithAValidCoordinate) {
    LocationFix noSpeed = fixAt(0);
    noSpeed.speed = kNaN;
    LocationFix noCoordinate = fixAt(0);
    noCoordinate.coordinate.latitude = kNaN;
    const struct {
        LocationAuthorizationStatus status;
        LocationFix fix;
        bool delivered;
    } cases[] = {
        {LocationAuthorizationStatus::authorizedWhenInUse, noSpeed, true},
        {LocationAuthorizationStatus::authorizedAlways, noCoordinate, false},
        {LocationAuthorizationStatus::authorizedAlways, {kLocationCoordinate2DInvalid}, false},
        {LocationAuthorizationStatus::denied, fixAt(0), false},
    };
    for (const auto& c : cases) {
        EngineLocation engine(dispatcher_.mainQueue(), store_, c.status);
        test::LocationRecorder recorder;
        const auto session = engine.makeSession(recorder);
        session->setDelivery(LocationDelivery::continuous);
        engine.ingest(c.fix);
        ASSERT_EQ(recorder.fixes.size(), c.delivered ? 1u : 0u) << static_cast<int>(c.status);
        if (c.delivered) {
            EXPECT_TRUE(std::isnan(recorder.fixes.front().speed));
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

    walk({{500}, {0}});
    EXPECT_EQ(recorder_.fixes.size(), 1u);
    EXPECT_EQ(other.fixes.size(), 2u);
    EXPECT_EQ(later.fixes.size(), 1u);
    EXPECT_EQ(otherSession->monitoredRegions().size(), 1u);
}

}  // namespace
}  // namespace fenk
