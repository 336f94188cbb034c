#pragma once

#include "FenkSDK/ports/Location.h"
#include "support/LocationRecorder.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace fenk::contract {

// What every location service must do, run against each of them. A driver provides:
//   std::shared_ptr<FakeDispatcher> dispatcher;     the main queue and the clock
//   Location& location();
//   void moveTo(LocationFix);                        the device moves; sessions hear of it once the main queue runs
//   std::unique_ptr<Location> reopen();              a new instance over the same storage, as after a restart;
//                                                    nullptr for a service that keeps nothing across instances
template <class Driver>
class LocationContract : public ::testing::Test {
protected:
    void moveAndRun(double northMeters) {
        driver_.moveTo(test::fixAt(northMeters));
        driver_.dispatcher->runUntilIdle();
    }

    static std::vector<CircularRegion> sorted(std::vector<CircularRegion> regions) {
        std::ranges::sort(regions, {}, &CircularRegion::identifier);
        return regions;
    }

    Driver driver_;
    test::LocationRecorder first_{driver_.dispatcher->mainQueue()};
    test::LocationRecorder second_{driver_.dispatcher->mainQueue()};
};

TYPED_TEST_SUITE_P(LocationContract);

// A session hears nothing until switched on, hears fixes on the main queue after, and nothing once destroyed,
// even of a move made while it still existed.
TYPED_TEST_P(LocationContract, FixesReachOnlyLiveSessionsThatAreSwitchedOn) {
    auto& location = this->driver_.location();
    auto listening = location.makeSession(this->first_);
    auto leaving = location.makeSession(this->second_);
    this->moveAndRun(0);
    EXPECT_TRUE(this->first_.fixes.empty());
    EXPECT_TRUE(this->second_.fixes.empty());

    listening->setDelivery(LocationDelivery::continuous);
    leaving->setDelivery(LocationDelivery::continuous);
    this->driver_.moveTo(test::fixAt(1000));
    leaving.reset();
    this->driver_.dispatcher->runUntilIdle();
    ASSERT_EQ(this->first_.fixes.size(), 1u);
    EXPECT_EQ(this->first_.fixes.front().coordinate, test::pointAt(1000));
    EXPECT_EQ(this->first_.offMainQueue, 0);
    EXPECT_TRUE(this->second_.fixes.empty());
}

// Regions belong to the application: every session, and a later instance over the same storage, sees one set.
TYPED_TEST_P(LocationContract, RegionsAreSharedReplacedByIdentifierAndRemoved) {
    auto& location = this->driver_.location();
    auto one = location.makeSession(this->first_);
    auto other = location.makeSession(this->second_);
    const CircularRegion home{"home", test::pointAt(0), 100};
    const CircularRegion work{"work", test::pointAt(5000), 150};
    CircularRegion movedHome = home;
    movedHome.radius = 300;
    movedHome.notifyOnEntry = false;

    one->startMonitoring(home);
    one->startMonitoring(work);
    other->startMonitoring(movedHome);
    EXPECT_EQ(this->sorted(one->monitoredRegions()), (std::vector{movedHome, work}));
    other->stopMonitoring("work");
    other->stopMonitoring("absent");
    EXPECT_EQ(one->monitoredRegions(), std::vector{movedHome});

    if (auto restarted = this->driver_.reopen()) {
        test::LocationRecorder later;
        EXPECT_EQ(restarted->makeSession(later)->monitoredRegions(), std::vector{movedHome});
    }
}

REGISTER_TYPED_TEST_SUITE_P(LocationContract, FixesReachOnlyLiveSessionsThatAreSwitchedOn,
                            RegionsAreSharedReplacedByIdentifierAndRemoved);

}  // namespace fenk::contract
