#include "FenkSDK/location/VisitTracker.h"

#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/PostedNotifications.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

using namespace std::chrono_literals;

namespace fenk {
namespace {

using Status = LocationAuthorizationStatus;

// The same answer whether the status is known when the tracker is made or arrives later.
TEST(VisitTrackerTest, AuthorizationDecidesWhetherVisitsAreWatched) {
    const struct {
        Status status;
        bool monitorsVisits;
        int alwaysRequests;
        bool refusalReported;
    } cases[] = {
        {Status::notDetermined, false, 1, false},  {Status::restricted, false, 0, true},
        {Status::denied, false, 0, true},          {Status::authorizedAlways, true, 0, false},
        {Status::authorizedWhenInUse, true, 0, false},
    };
    for (const bool atCreation : {true, false}) {
        for (const auto& c : cases) {
            FakeEnvironment fakes;
            ConsoleCapture console;
            fakes.location->setAuthorizationStatus(atCreation ? c.status : Status::denied);
            VisitTracker tracker(*fakes.location, fakes.notificationCenter);
            if (!atCreation) {
                fakes.location->setAuthorizationStatus(c.status);
                fakes.dispatcher->runUntilIdle();
            }
            const auto session = fakes.location->sessions().at(0);
            const auto what = testing::Message() << "status " << static_cast<int>(c.status) << " later " << !atCreation;
            EXPECT_EQ(session.configuration, (LocationSessionConfiguration{LocationAccuracy::best,
                                                                            LocationActivityType::otherNavigation,
                                                                            false, 0}));
            EXPECT_EQ(session.monitorsVisits, c.monitorsVisits) << what;
            EXPECT_EQ(session.alwaysAuthorizationRequests, c.alwaysRequests) << what;
            // Made while denied, the tracker says so once before the change.
            const auto refusals = (atCreation ? 0u : 1u) + (c.refusalReported ? 1u : 0u);
            EXPECT_EQ(console.lines(), std::vector<std::string>(refusals, "User has not given access to location data"))
                << what;
        }
    }
}

TEST(VisitTrackerTest, AVisitPostsARecordWithItsOwnDates) {
    FakeEnvironment fakes;
    PostedNotifications posted(fakes.notificationCenter, {kPositionReceived});
    VisitTracker tracker(*fakes.location, fakes.notificationCenter);
    const Timestamp arrival = timestampFromSystemTime(fakes.dispatcher->now());
    fakes.location->deliverVisit({{48.8566, 2.3522}, arrival, arrival + 3h});
    fakes.location->deliverVisit({{std::numeric_limits<double>::quiet_NaN(), 2.3522}, arrival, arrival + 1h});
    fakes.dispatcher->runUntilIdle();

    ASSERT_EQ(posted.all().size(), 1u);
    const auto record = posted.all()[0].object<StoredLocation>();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->tipo, LocationType::visit);
    EXPECT_EQ(record->arrivalDate, arrival);
    EXPECT_EQ(record->departureDate, arrival + 3h);
    EXPECT_FALSE(record->nombre);
}

}  // namespace
}  // namespace fenk
